'use strict';
// A report opened in the browser: scrubbed to moments of the ticket road,
// its screen, map and calls checked against what the run printed.
const { launch, play, screenshot, cases, OUT, SOURCE, assert, path, fs } = require('./browser');

const road = 'scenarios/cinema/ticket_road.scenario';
const clock = async (page) => page.textContent('#clock');

// The frame a timeline line names, from play's own timeline.
function frameOf(timeline, fragment) {
  const line = timeline.split('\n').find((l) => l.includes(fragment));
  assert.ok(line, `the timeline has a line with ${fragment}`);
  return +line.trim().split(/\s+/)[1];
}

async function goTo(page, frame) {
  await page.locator('#scrub').fill(String(frame));
  await page.waitForFunction((f) => document.querySelector('#clock').textContent.endsWith('frame ' + f), frame);
}

cases([
  ['the ticket road\'s report shows the sale on its screen, map and calls', async () => {
    const file = path.join(OUT, 'ticket_road.html');
    const svgFile = path.join(OUT, 'ticket_road.svg');
    const verbose = play(['--verbose', '--report', file, '--map', svgFile, road]);
    assert.equal(verbose.status, 0, verbose.err);
    const timeline = verbose.out;
    const { page, close } = await launch();
    await page.goto('file://' + file);
    assert.equal(await page.textContent('#status'), 'passed');
    assert.match(await clock(page), /^0\.000 s/, 'a passing run opens at its start');
    const lines = await page.locator('#timeline a').count();
    assert.ok(lines > 20, 'the timeline is there, a link a line');

    // The counter open: the buy prompt offered with its control, the taker on the map.
    const offered = frameOf(timeline, 'prompt offered: "Buy Ticket ($1.00)"');
    await goTo(page, offered);
    const prompts = await page.textContent('#prompts');
    assert.match(prompts, /Buy Ticket \(\$1\.00\)/);
    assert.match(prompts, /INPUT_CONTEXT_X/);
    assert.equal(await page.textContent('#money'), '$50.00');
    assert.equal(await page.locator('#map .thing.ped').count(), 1, 'the taker stands on the map');
    assert.match(await page.textContent('#map .thing.ped'), /taker/);
    // The page's map and the SVG map colour things and the path alike.
    const svgMap = fs.readFileSync(svgFile, 'utf8');
    const svgPath = /<polyline class="path" fill="none" stroke="([^"]+)"/.exec(svgMap)[1];
    assert.equal(await page.getAttribute('#map .path', 'stroke'), svgPath);
    const svgPed = /<text[^>]*fill="([^"]+)"[^>]*>taker</.exec(svgMap);
    assert.ok(svgPed, 'the SVG names the taker in his kind\'s colour');
    assert.equal(await page.getAttribute('#map .thing.ped', 'fill'), svgPed[1]);
    assert.equal(await page.locator('#map .player').count(), 1);
    assert.equal(await page.locator('#map .outline').count(), 1, "the theater's outline");
    assert.match(await page.textContent('#map .scale'), /^\d+ m$/, 'the map has a scale');
    // The buy prompt's reach is around the taker, where he stands.
    const taker = page.locator('#map .thing.ped');
    const reach = page.locator('#map .reach', { hasText: 'Buy Ticket' });
    assert.equal(await reach.getAttribute('cx'), await taker.getAttribute('cx'));
    assert.equal(await reach.getAttribute('cy'), await taker.getAttribute('cy'));
    assert.equal(await reach.getAttribute('r'), '5');

    // The calls of that frame are the run's own, in its order.
    const calls = (await page.textContent('#calls')).split('\n');
    const run = timeline.split('\n').filter((l) => l.trim().split(/\s+/)[1] === String(offered))
      .map((l) => l.slice(l.indexOf('| '))).filter((l) => l.startsWith('| '));
    assert.ok(calls.length > 5, 'calls of the frame are kept');
    let at = 0;
    for (const c of calls) {
      at = run.indexOf(c, at);
      assert.ok(at >= 0, `${c} is a call of frame ${offered} in the --verbose timeline`);
    }
    await screenshot(page, 'report-counter');

    // The money handed over: the notification and the new money; a click on
    // the timeline's line goes there.
    const spent = frameOf(timeline, 'money $50.00 to $49.00');
    await page.locator('#timeline a', { hasText: 'money $50.00 to $49.00' }).click();
    assert.match(await clock(page), new RegExp(`frame ${spent}$`));
    assert.equal(await page.textContent('#money'), '$49.00');
    assert.equal(await page.locator('#map .thing.ped').count(), 8, 'the taker and an audience of seven');
    const noted = frameOf(timeline, 'notification: "Money spent: $1.00"');
    await goTo(page, noted);
    assert.match(await page.textContent('#notes'), /Money spent: \$1\.00/);
    // The cinema posts it for a second, as the game then shows it.
    await goTo(page, noted + 55);
    assert.match(await page.textContent('#notes'), /Money spent: \$1\.00/);
    await goTo(page, noted + 65);
    assert.doesNotMatch(await page.textContent('#notes'), /Money spent: \$1\.00/);

    // The film on, then the end: the path walked out.
    await goTo(page, frameOf(timeline, 'TV channel 1 gets playlist'));
    assert.match(await page.textContent('#tv'), /channel 1: PL_TOON/);
    await goTo(page, +(await page.getAttribute('#scrub', 'max')));
    assert.ok((await page.getAttribute('#map .path', 'd')).split('L').length > 10, 'the path walked');
    await screenshot(page, 'report-end');
    await close();
  }],

  ['the menu trainer\'s report shows its menu: box, header sprite, bar and lines', async () => {
    const file = path.join(OUT, 'menu_trainer.html');
    const r = play(['--plugin', process.env.MENU_TRAINER, '--report', file, 'examples/scenarios/menu_trainer.scenario']);
    assert.equal(r.status, 0, r.err);
    const { page, close } = await launch();
    await page.goto('file://' + file);
    await goTo(page, frameOf(r.out, 'expect text "> Delete ped" drawn'));
    const drawn = await page.textContent('#drawn');
    for (const line of ['Main menu', 'Spawn ped', '> Delete ped', 'Peds: 2']) assert.ok(drawn.includes(line), line);
    assert.equal(await page.locator('#drawn .rect').count(), 2, 'the box and the bar');
    assert.equal(await page.locator('#drawn .sprite', { hasText: 'generic_textures/menu_header_1a' }).count(), 1);
    await screenshot(page, 'report-menu');
    await close();
  }],

  ['a sprite drawn at a heading is shown turned to it', async () => {
    const scenario = path.join(OUT, 'turned.scenario');
    fs.writeFileSync(scenario, 'start at -2361.5 -2395.1 62.1\nwait 30 frames\n');
    const file = path.join(OUT, 'turned.html');
    const r = play(['--plugin', process.env.TURNED_SPRITES, '--any-name', '--report', file, scenario]);
    assert.equal(r.status, 0, r.err);
    const { page, close } = await launch();
    await page.goto('file://' + file);
    // The plug-in draws a cross of two bars, at 45 and -45 degrees, for 20 passes.
    const first = JSON.parse(await page.textContent('#report')).boxes.items[0].from;
    await goTo(page, first + 5);
    const bars = page.locator('#drawn .sprite', { hasText: 'menu_bar' });
    assert.equal(await bars.count(), 2);
    const turned = await bars.evaluateAll((all) => all.map((e) => {
      const m = new DOMMatrix(getComputedStyle(e).transform);
      return Math.round(Math.atan2(m.b, m.a) * 180 / Math.PI);
    }));
    assert.deepEqual(turned, [45, -45]);
    // Turned, a bar five times as wide as high reaches about as far down as across.
    const box = await bars.first().boundingBox();
    assert.ok(box.height > box.width * 0.5, `a bar turned 45 degrees: ${JSON.stringify(box)}`);
    assert.match(await bars.nth(1).getAttribute('title'), /turned -45°/);
    await screenshot(page, 'report-turned');
    await goTo(page, first + 25);
    assert.equal(await bars.count(), 1, 'the -45 degree bar is gone after 20 passes');
    await close();
  }],

  ['a failing run\'s report opens at its failure, marked on the axis', async () => {
    const scenario = path.join(OUT, 'fails.scenario');
    fs.writeFileSync(scenario, fs.readFileSync(path.join(SOURCE, road), 'utf8') + '\nexpect money changed by -500\n');
    const file = path.join(OUT, 'fails.html');
    const r = play(['--report', file, scenario]);
    assert.equal(r.status, 1);
    const { page, close } = await launch();
    await page.goto('file://' + file);
    assert.equal(await page.textContent('#status'), 'failed');
    const last = await page.getAttribute('#scrub', 'max');
    assert.match(await clock(page), new RegExp(`frame ${last}$`), 'it opens at the failure, the last frame');
    assert.equal(await page.locator('#marks .failed').count(), 1);
    assert.match(await page.getAttribute('#marks .failed', 'title'), /money changed by -500/);
    assert.ok(await page.locator('#marks .held').count() > 10, 'each expectation held is marked');
    // The reason in full in a banner, and the FAILED line the one marked.
    assert.equal(await page.isVisible('#banner'), true);
    assert.match(await page.textContent('#reason'), /money changed by -500/);
    assert.match(await page.textContent('#timeline a.now'), /FAILED \d+: expect money changed by -500/);
    await screenshot(page, 'report-failed');
    await close();
  }],

  ['every frame a timeline line is at keeps its calls, scriptWait among them, the failing one above all', async () => {
    const scenario = path.join(OUT, 'fails_late.scenario');
    fs.writeFileSync(scenario, fs.readFileSync(path.join(SOURCE, road), 'utf8') + '\nexpect money changed by -500\n');
    const file = path.join(OUT, 'fails_late.html');
    const r = play(['--verbose', '--report', file, scenario]);
    assert.equal(r.status, 1, r.err);
    // The frames whose calls the --verbose timeline lists, and the frames of its other lines.
    const called = new Set(), told = new Set();
    for (const l of r.out.split('\n')) {
      const fields = l.trim().split(/\s+/);
      if (!/^\d+$/.test(fields[1] || '')) continue;
      (fields[3] === '|' ? called : told).add(+fields[1]);
    }
    const { page, close } = await launch();
    await page.goto('file://' + file);
    const lined = await page.locator('#timeline a').evaluateAll((all) => [...new Set(all.map((a) => +a.dataset.frame))]);
    const missing = [];
    for (const f of lined) {
      if (!called.has(f)) continue;
      await goTo(page, f);
      if ((await page.textContent('#calls')).startsWith('No calls kept')) missing.push(f);
    }
    assert.deepEqual(missing, [], 'a frame with a line and calls has them on the page');
    assert.ok(lined.filter((f) => called.has(f)).length > 20, 'many frames checked');
    // The failure's frame, the one the page opens at.
    await page.goto('file://' + file);
    const calls = await page.textContent('#calls');
    assert.match(calls, /^\| /, 'the failing frame keeps its calls');
    assert.match(calls, /\| scriptWait\(0\)$/m, 'the pass ends in its wait, shown among the calls');
    await screenshot(page, 'report-failing-calls');
    await close();
  }],

  ['the subtitle never covers the prompts, however narrow the page', async () => {
    const file = path.join(OUT, 'ticket_road.html');
    if (!fs.existsSync(file)) assert.equal(play(['--report', file, road]).status, 0);
    const { page, close } = await launch();
    await page.goto('file://' + file);
    const data = JSON.parse(await page.textContent('#report'));
    const prompts = data.prompts.items;
    const said = data.notices.items.find((n) => n.kind === 'said' &&
      prompts.filter((p) => p.from <= n.frame && (p.to === 0 || n.frame <= p.to)).length >= 2);
    assert.ok(said, 'a line said while two prompts are offered');
    const overlaps = () => page.evaluate(() => {
      const range = document.createRange();
      range.selectNodeContents(document.querySelector('#subtitle'));
      const words = [...range.getClientRects()];
      const rows = [...document.querySelectorAll('#prompts .prompt')].map((p) => p.getBoundingClientRect());
      const meet = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
      return { words: words.length, rows: rows.length, met: words.some((w) => rows.some((p) => meet(w, p))) };
    });
    for (const width of [1400, 1000, 800]) {
      await page.setViewportSize({ width, height: 1000 });
      await goTo(page, said.frame);
      const seen = await overlaps();
      assert.ok(seen.words > 0 && seen.rows === 2, `the subtitle and both prompts shown: ${JSON.stringify(seen)}`);
      assert.equal(seen.met, false, `at ${width} px the subtitle is clear of the prompts`);
      await screenshot(page, `report-subtitle-${width}`);
    }
    await close();
  }],

  ['the toy train\'s speed and its smoke are shown as they change', async () => {
    const scenario = path.join(OUT, 'train_on_off.scenario');
    fs.writeFileSync(scenario, 'deliverable toytrain\nstart at 1 m east of site\nwait 4 s\n' +
      'hold INPUT_ENTER for 600 ms\nwait 4 s\n');
    const file = path.join(OUT, 'train_on_off.html');
    const r = play(['--report', file, scenario]);
    assert.equal(r.status, 0, r.err);
    // "train speed 0.000 to 0.600 over 2.000 s", told the frame after it settled.
    const ramps = r.out.split('\n').filter((l) => /train speed [\d.]+ to [\d.]+ over/.test(l)).map((l) => {
      const m = /^ *[\d.]+ +(\d+) .*train speed ([\d.]+) to ([\d.]+) over ([\d.]+) s/.exec(l);
      return { frame: +m[1], from: +m[2], to: +m[3], frames: Math.round(+m[4] * 60) };
    });
    assert.equal(ramps.length, 2, r.out);
    const { page, close } = await launch();
    await page.goto('file://' + file);
    const speed = async (f) => {
      await goTo(page, f);
      return +(await page.textContent('#values [data-name="train speed"] b'));
    };
    const [up, down] = ramps;
    const quarter = await speed(up.frame - Math.round(up.frames * 0.75));
    const half = await speed(up.frame - Math.round(up.frames / 2));
    assert.ok(quarter > up.from && quarter < half && half < up.to, `rising: ${quarter}, ${half}`);
    assert.ok(Math.abs(half - (up.from + up.to) / 2) < 0.05, `half way, about half: ${half}`);
    assert.equal(await speed(up.frame), up.to);
    const slowing = await speed(down.frame - Math.round(down.frames / 2));
    assert.ok(slowing < down.from && slowing > down.to, `slowing: ${slowing}`);
    await screenshot(page, 'report-train-slowing');
    assert.equal(await speed(down.frame + 5), down.to);
    // The smoke at its scale while the train runs, gone once it is stopped.
    const smoke = '#values [data-name$="smoke scale"] b';
    await goTo(page, up.frame);
    assert.equal(await page.textContent(smoke), '0.500');
    await goTo(page, down.frame);
    assert.equal(await page.textContent(smoke), 'gone');
    await close();
  }],

  ['a crashed run\'s report opens at the crash, with the crash report', async () => {
    const file = path.join(OUT, 'crashed.html');
    const plugin = path.join(path.dirname(process.env.MENU_TRAINER), 'fault_access_violation.so');
    const r = play(['--report', file, '--plugin', plugin, 'examples/scenarios/fault_access_violation.scenario']);
    assert.equal(r.status, 1, r.out + r.err);
    const { page, close } = await launch();
    await page.goto('file://' + file);
    assert.equal(await page.textContent('#status'), 'failed');
    assert.match(await clock(page), /frame 124$/, 'it opens at the crash');
    assert.match(await page.textContent('#reason'), /SIGSEGV \(access violation\)/);
    assert.match(await page.textContent('#timeline a.now'), /CRASH a script crashed/);
    await screenshot(page, 'report-crashed');
    await close();
  }],
]);
