'use strict';
// What the browser tests share: the system's chromium driven by
// playwright-core, a page that fails the test on any script error, the play
// command and where the artefacts go.
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');

const PLAY = process.env.PLAY_COMMAND;
const SOURCE = process.env.SOURCE_DIR;
const OUT = process.env.ARTEFACT_DIR || fs.mkdtempSync(path.join(os.tmpdir(), 'page-'));
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
let chromium = null;
try {
  ({ chromium } = require('playwright-core'));
} catch {
  // cases() says so and skips.
}
fs.mkdirSync(OUT, { recursive: true });

async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'chromium-profile-'));
  // A fresh profile each time: nothing of an earlier run is kept.
  const browser = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: true,
    viewport: { width: 1400, height: 1000 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const page = browser.pages()[0] || await browser.newPage();
  const errors = [];
  page.on('console', (m) => { if (m.type() === 'error') errors.push('console: ' + m.text()); });
  page.on('pageerror', (e) => errors.push('page: ' + e.message));
  page.on('requestfailed', (r) => errors.push('request failed: ' + r.url()));
  return {
    page,
    errors,
    async close() {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
      assert.deepEqual(errors, [], 'the page ran without a script error');
    },
  };
}

// Runs play with these arguments; its status, output and errors.
function play(args) {
  const r = spawnSync(PLAY, args, { cwd: SOURCE, encoding: 'utf8', maxBuffer: 1 << 28 });
  return { status: r.status, out: r.stdout, err: r.stderr };
}

async function screenshot(page, name) {
  const file = path.join(OUT, name + '.png');
  await page.screenshot({ path: file, fullPage: true });
  return file;
}

// A test file's cases, one after another; the first failure fails the file.
async function cases(list) {
  if (!fs.existsSync(CHROMIUM)) {
    console.log(`${CHROMIUM} is missing: install chromium (./run-tests.sh does)`);
    process.exit(1);
  }
  if (!chromium) {
    console.log('playwright-core is missing: npm ci in tests/browser (./run-tests.sh does)');
    process.exit(1);
  }
  for (const [name, body] of list) {
    const started = Date.now();
    try {
      await body();
      console.log(`ok: ${name} (${Date.now() - started} ms)`);
    } catch (e) {
      console.log(`FAILED: ${name}\n${e.stack || e}`);
      process.exit(1);
    }
  }
}

module.exports = { launch, play, screenshot, cases, OUT, SOURCE, assert, path, fs };
