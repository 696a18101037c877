'use strict';
// Live runs driven from the page in the browser: the cinema walked up to and
// a ticket bought with the buy prompt's control, the session played again by
// ./play; the menu trainer opened with its own key.
const { launch, play, screenshot, cases, OUT, SOURCE, assert, path, fs } = require('./browser');
const { spawn } = require('node:child_process');

// Ends a live run as the page's menu would, once the browser is closed.
async function quit(run) {
  await fetch((await run.url) + 'input', { method: 'POST', body: JSON.stringify({ quit: true }) });
  return run.ended;
}

// play --live, until it says where it serves the page.
function live(args) {
  const child = spawn(process.env.PLAY_COMMAND, ['--live', ...args], { cwd: SOURCE });
  let out = '';
  let err = '';
  child.stderr.on('data', (d) => { err += d; });
  const url = new Promise((resolve, reject) => {
    child.stdout.on('data', (d) => {
      out += d;
      const m = /live at (http:\/\/127\.0\.0\.1:\d+\/)/.exec(out);
      if (m) resolve(m[1]);
    });
    child.on('exit', (code) => reject(new Error(`play --live ended with ${code}: ${err}`)));
  });
  const ended = new Promise((resolve) => child.on('exit', (code) => resolve({ code, out, err })));
  return { child, url, ended };
}

async function hold(page, key, ms) {
  await page.keyboard.down(key);
  await page.waitForTimeout(ms);
  await page.keyboard.up(key);
}

// The timeline's lines to a frame, without the steps of one frame each and
// the single quiet frames between them, which a live page is spared.
const upToFrame = (lines, upTo) => lines.filter((l) => {
  const fields = l.trim().split(/\s+/);
  const text = fields.slice(3).join(' ');
  // Live, a run of frames is a step a frame, each at the one line the run
  // takes in the session's file; played again it is one step, its quiet
  // frames folded.
  return l.trim() !== '' && +fields[1] <= upTo && !/^> \d+: (wait \d+ frames?|walk to .* over \d+ frames?)$/.test(text) &&
    !/^\.\.\. \d+ quiet frames?, /.test(text);
  // The film is the C library's draw, seeded by the machine's tick count.
}).map((l) => l.replace(/PL_TOON_(MODERN_MEDICINE|WORLDS_STRONGEST_MAN)/, 'PL_TOON_(the film drawn)'));

cases([
  ['a live cinema: walked to the counter, a ticket bought with its control, the film on', async () => {
    const scenario = path.join(OUT, 'live_start.scenario');
    fs.writeFileSync(scenario, 'deliverable cinema\nseed 7\nstart at 9 m west of post\n');
    const session = path.join(OUT, 'live_session.scenario');
    const run = live(['--session', session, scenario]);
    const url = await run.url;
    const { page, close } = await launch();
    await page.goto(url);
    await page.waitForSelector('#timeline a');
    await page.selectOption('#speed', '4');
    await page.click('#screen');
    // East is to the right of a player facing north.
    await page.keyboard.down('d');
    await page.waitForFunction(() => /Buy Ticket/.test(document.querySelector('#prompts').textContent), null,
      { timeout: 20000 });
    await page.keyboard.up('d');
    assert.match(await page.textContent('#prompts'), /R · INPUT_CONTEXT_X/, 'the prompt names its key');
    assert.equal(await page.textContent('#money'), '$50.00');
    const fps = await page.textContent('#fps');
    await screenshot(page, 'live-counter');
    const pressed = Date.now();
    await hold(page, 'r', 150);
    await page.waitForFunction(() => document.querySelector('#money').textContent === '$49.00', null,
      { timeout: 20000 });
    await page.waitForFunction(() => /channel 1: PL_TOON/.test(document.querySelector('#tv').textContent), null,
      { timeout: 30000 });
    console.log(`live: ${fps}; money and film changed ${Date.now() - pressed} ms after the key at 4x`);
    await screenshot(page, 'live-film');
    const lines = await page.$$eval('#timeline a', (as) => as.map((a) => a.textContent));
    const tvLine = lines.find((l) => l.includes('TV channel 1 gets playlist'));
    assert.ok(tvLine, 'the timeline tells the film');
    await close();
    const ended = await quit(run);
    assert.equal(ended.code, 0, ended.err);

    // The session played again gives the same timeline, line for line.
    const again = play([session]);
    assert.equal(again.status, 0, again.err);
    const upTo = +tvLine.trim().split(/\s+/)[1];
    // Runs of frames fold: a line for the walk to the counter, not one a frame.
    const written = fs.readFileSync(session, 'utf8').split('\n');
    assert.ok(written.some((l) => /^walk to .* over \d+ frames$/.test(l)), written.join('\n'));
    assert.ok(written.some((l) => /^wait \d+ frames$/.test(l)), written.join('\n'));
    assert.ok(written.length < upTo / 10, `${written.length} lines for ${upTo} frames`);
    const replayed = upToFrame(again.out.split('\n'), upTo);
    assert.ok(replayed.length > 30);
    assert.deepEqual(replayed, upToFrame(lines, upTo));
  }],

  ['a live menu trainer opens with its key, its text on the page', async () => {
    const run = live(['--session', path.join(OUT, 'menu_session.scenario'), '--plugin', process.env.MENU_TRAINER]);
    const url = await run.url;
    const { page, close } = await launch();
    await page.goto(url);
    await page.waitForSelector('#timeline a');
    await page.click('#screen');
    assert.equal(await page.locator('#drawn .text').count(), 0);
    const before = await page.evaluate(() => performance.now());
    await page.keyboard.press('F4');
    await page.waitForFunction(() => /Main menu/.test(document.querySelector('#drawn').textContent));
    const shown = await page.evaluate(() => performance.now());
    console.log(`live: the menu on the page ${(shown - before).toFixed(0)} ms after F4`);
    const texts = await page.$$eval('#drawn .text', (es) => es.map((e) => e.textContent));
    assert.ok(texts.includes('Peds: 0') || texts.some((t) => t.startsWith('Peds: ')), texts.join('|'));
    assert.ok(texts.includes('Opened 1 times'), texts.join('|'));
    // Its lines with the drop shadow it asked for, on its box, the bar under
    // the line chosen and its header sprite, named.
    assert.ok(await page.$$eval('#drawn .text', (es) => es.every((e) => e.style.textShadow)));
    assert.equal(await page.locator('#drawn .rect').count(), 2);
    assert.match(await page.textContent('#drawn .sprite'), /generic_textures\/menu_header_1a/);
    await screenshot(page, 'live-menu');
    await close();
    assert.equal((await quit(run)).code, 0);
  }],

  ['a plug-in rebuilt on disk is loaded again into the same world, the player where he stood', async () => {
    const plugin = path.join(OUT, 'menu_trainer.so');
    fs.copyFileSync(process.env.MENU_TRAINER, plugin);
    const run = live(['--session', path.join(OUT, 'reload_session.scenario'), '--plugin', plugin]);
    const { page, close } = await launch();
    await page.goto(await run.url);
    await page.waitForSelector('#timeline a');
    const before = await page.getAttribute('#map .player', 'cx');
    await page.click('#map', { position: { x: 150, y: 150 } });
    await page.waitForFunction((x) => document.querySelector('#map .player').getAttribute('cx') !== x, before);
    const stood = await page.getAttribute('#map .player', 'cx');
    await page.keyboard.press('F4');
    await page.waitForFunction(() => /Main menu/.test(document.querySelector('#drawn').textContent));
    // As a linker writes it: a new file in the old one's place.
    fs.copyFileSync(process.env.MENU_TRAINER, plugin + '.new');
    fs.renameSync(plugin + '.new', plugin);
    await page.waitForFunction(() => document.querySelector('#timeline').textContent
      .split('plug-in menu_trainer.so loaded').length === 3, null, { timeout: 10000 });
    await page.waitForFunction(() => !/Main menu/.test(document.querySelector('#drawn').textContent));
    assert.match(await page.textContent('#timeline'), /plug-in menu_trainer.so unloaded/);
    assert.equal(await page.getAttribute('#map .player', 'cx'), stood);
    await close();
    assert.equal((await quit(run)).code, 0);
  }],
]);
