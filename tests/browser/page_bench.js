'use strict';
// What the page costs, measured in the system's chromium (not run by ctest):
//   cd tests/browser && PLAY_COMMAND=../../build/native/tools/play/play SOURCE_DIR=../.. \
//     MENU_TRAINER=../../build/native/examples/menu_trainer.so node page_bench.js [SCENARIO]...
// For each scenario (an hour of the cinema and the ticket road when none is
// given): the time ./play --report takes, the report's size, and the time
// from asking the browser to open it until the page is ready, the best and
// the middle of three. Then a live menu trainer: the page's updates and the
// game's frames a second at 1x, and the delay from F4 to the menu on the
// page, over ten presses.
const path = require('node:path');
// Paths as given from here; play runs in the source tree.
for (const name of ['PLAY_COMMAND', 'SOURCE_DIR', 'MENU_TRAINER']) {
  if (process.env[name]) process.env[name] = path.resolve(process.env[name]);
}
const { launch, play, OUT, SOURCE, fs } = require('./browser');
const { spawn } = require('node:child_process');

const middle = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const best = (list) => Math.min(...list);

async function report(scenario) {
  const file = path.join(OUT, path.basename(scenario, '.scenario') + '_bench.html');
  const started = Date.now();
  const run = play(['--report', file, scenario]);
  const played = Date.now() - started;
  if (run.status !== 0) throw new Error(`${scenario}: ${run.err}`);
  const opens = [];
  const readies = [];
  for (let n = 0; n < 3; n++) {
    const { page, close } = await launch();
    const asked = Date.now();
    await page.goto('file://' + file);
    await page.waitForSelector('body[data-ready]', { timeout: 60000 });
    opens.push(Date.now() - asked);
    readies.push(+(await page.getAttribute('body', 'data-ready')));
    await close();
  }
  const mb = (fs.statSync(file).size / 1e6).toFixed(2);
  console.log(`${scenario}: played with --report in ${played} ms; ${mb} MB; opened in ` +
    `${best(opens)} ms best, ${middle(opens)} ms middle (the page ready ${middle(readies)} ms ` +
    'after its navigation began)');
}

async function live() {
  const child = spawn(process.env.PLAY_COMMAND, ['--live', '--session', path.join(OUT, 'bench_session.scenario'),
    '--plugin', process.env.MENU_TRAINER], { cwd: SOURCE });
  let out = '';
  const url = await new Promise((resolve, reject) => {
    child.stdout.on('data', (d) => {
      out += d;
      const m = /live at (http:\/\/127\.0\.0\.1:\d+\/)/.exec(out);
      if (m) resolve(m[1]);
    });
    child.on('exit', (code) => reject(new Error(`play --live ended with ${code}`)));
  });
  const { page, close } = await launch();
  await page.goto(url);
  await page.waitForSelector('#timeline a');
  await page.click('#screen');
  // Updates the page takes, and frames the game plays, in five seconds.
  const counted = await page.evaluate(async () => {
    let updates = 0;
    let last = document.body.dataset.frame;
    const firstFrame = +last;
    const observer = new MutationObserver(() => {
      if (document.body.dataset.frame !== last) { updates++; last = document.body.dataset.frame; }
    });
    observer.observe(document.body, { attributes: true, attributeFilter: ['data-frame'] });
    await new Promise((r) => setTimeout(r, 5000));
    observer.disconnect();
    return { updates, frames: +document.body.dataset.frame - firstFrame };
  });
  console.log(`live at 1x: ${(counted.updates / 5).toFixed(1)} page updates a second, ` +
    `${(counted.frames / 5).toFixed(1)} game frames a second`);
  const delays = [];
  for (let n = 0; n < 10; n++) {
    const open = n % 2 === 0;
    const before = await page.evaluate(() => performance.now());
    await page.keyboard.press('F4');
    await page.waitForFunction((o) => /Main menu/.test(document.querySelector('#drawn').textContent) === o, open);
    delays.push(await page.evaluate((b) => performance.now() - b, before));
  }
  console.log(`live: F4 to the menu shown or gone on the page: ${best(delays).toFixed(0)} ms best, ` +
    `${middle(delays).toFixed(0)} ms middle, ${Math.max(...delays).toFixed(0)} ms worst of 10`);
  await close();
  await fetch(url + 'input', { method: 'POST', body: JSON.stringify({ quit: true }) });
  await new Promise((r) => child.on('exit', r));
}

(async () => {
  const given = process.argv.slice(2);
  const scenarios = given.length ? given : ['bench/cinema_hour.scenario', 'scenarios/cinema/ticket_road.scenario'];
  for (const s of scenarios) await report(s);
  if (process.env.MENU_TRAINER) await live();
})().catch((e) => { console.error(e); process.exit(1); });
