// The browser build in Debian's chromium, headless: served from 127.0.0.1 on a free
// port, it must show the headless shell's title frame pixel for pixel, start a game
// and swing from the keyboard (heard once the first press has unlocked the sound),
// act on a tap of its keypad, keep "Sound off" across a
// reload (the saved state in IndexedDB) and raise no page error.
//
//   node web_test.mjs WEB_DIR HEADLESS DATA_DIR [SCREENSHOT.png]
//
// With a picture file named it keeps the page as it looks after the swing.
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { serve } from '../../scripts/serve-web.mjs';

const [webDir, headless, dataDir, screenshot] = process.argv.slice(2);
const failures = [];
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures.push(what);
}

// The title frame as the headless shell draws it (desktop comforts on, as on the page).
const work = mkdtempSync(join(tmpdir(), 'fairholm-web-'));
for (const name of ['golf.bin', 'f10.bin', 'f13.bin', 'f16.bin', 'help.txt', 'arrow', 'music', 'swing',
                    'hit', 'incup', 'water', 'holes_1-3']) {
  copyFileSync(join(dataDir, name), join(work, name));
}
writeFileSync(join(work, 'script'), `at 3000 dump ${join(work, 'title.png')}\nat 3100 stop\n`);
execFileSync(headless, ['--data', work, '--script', join(work, 'script'), '--quiet', '--comfort']);

const server = await serve(webDir, 0, { '/title.png': join(work, 'title.png') });
const url = `http://127.0.0.1:${server.address().port}/`;

const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
const errors = [];
try {
  const context = await browser.newContext({ viewport: { width: 360, height: 720 }, hasTouch: true });
  const page = await context.newPage();
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  const status = () => page.evaluate(() => Module.UTF8ToString(Module._fairholm_status()));
  const waitFor = async (pattern, ms = 30000) => {
    const until = Date.now() + ms;
    let now = '';
    while (Date.now() < until) {
      now = await status().catch(() => '');
      if (pattern.test(now)) return now;
      await page.waitForTimeout(100);
    }
    return now;
  };
  const sleeps = (line) => Number((/sleeps=(\d+)/.exec(line) || [0, 0])[1]);
  // The page loaded and the game waiting in its main menu (it sleeps between frames
  // there; while the title loads it does not, and keys pressed then are not kept).
  const open = async () => {
    await page.goto(url + '?keypad');
    await page.waitForFunction(() => window.Module && Module.calledRun && Module.fairholmFrames > 0);
    let line = await waitFor(/state=9 /);
    const mark = sleeps(line);
    const until = Date.now() + 10000;
    while (sleeps(line) < mark + 10 && Date.now() < until) {
      await page.waitForTimeout(50);
      line = await status();
    }
    return line;
  };

  check(/state=9 /.test(await open()), 'the page starts at the main menu');
  // The menu is drawn once the title has loaded the pictures and fonts: compare until
  // the frames agree or 30 s have gone.
  const compareTitle = () => page.evaluate(async () => {
    const image = new Image();
    image.src = '/title.png';
    await image.decode();
    const canvas = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = image.width;
    copy.height = image.height;
    const context = copy.getContext('2d');
    context.drawImage(image, 0, 0);
    if (image.width !== canvas.width || image.height !== canvas.height) return -1;
    const want = context.getImageData(0, 0, copy.width, copy.height).data;
    const got = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let count = 0;
    for (let i = 0; i < want.length; i += 4) {
      count += want[i] !== got[i] || want[i + 1] !== got[i + 1] || want[i + 2] !== got[i + 2];
    }
    return count;
  });
  const shown = Date.now();
  let differing = await compareTitle();
  while (differing !== 0 && Date.now() - shown < 30000) {
    await page.waitForTimeout(200);
    differing = await compareTitle();
  }
  console.log(`     the menu after ${Date.now() - shown} ms`);
  check(differing === 0, `the title frame equals the headless shell's (${differing} pixels differ)`);
  if (differing !== 0) await page.locator('#canvas').screenshot({ path: join(tmpdir(), 'fairholm-web-title.png') });

  // The first press only starts (and unlocks the sound); Enter then starts a new game.
  await page.keyboard.press('Shift');
  await page.keyboard.press('Enter');
  const started = await waitFor(/state=6 hole=1/);
  check(/state=6 hole=1 strokes=0/.test(started), `Enter on "New game" starts hole 1 (${started})`);
  const hud = () => page.evaluate(() => Array.from(
    document.getElementById('canvas').getContext('2d').getImageData(0, 0, 90, 90).data).join(','));
  await page.waitForTimeout(1500);
  const before = await hud();
  await page.keyboard.press('Enter');
  await page.waitForTimeout(1200);
  await page.keyboard.press('Enter');
  const afterSwing = await waitFor(/state=6 hole=1 strokes=1/, 40000);
  check(/strokes=1/.test(afterSwing), `a swing from the keyboard is played (${afterSwing})`);
  await page.waitForTimeout(1500);
  check(before !== (await hud()), 'the HUD shows the next stroke');
  const played = await page.evaluate(() => Module.fairholmSoundsPlayed || 0);
  check(played > 0, `the swing is heard through Web Audio (${played} sounds played)`);
  if (screenshot) await page.screenshot({ path: screenshot });
  // The game is recorded into IndexedDB's /save/replays/, rewritten at every stroke.
  const recordings = () => page.evaluate(() => {
    try {
      return Module.FS.readdir('/save/replays').filter((name) => name.endsWith('.fhr'))
        .map((name) => `${name}:${Module.FS.stat('/save/replays/' + name).size}`);
    } catch (e) {
      return [];
    }
  });
  const recorded = await recordings();
  check(recorded.length === 1 && /^round-000001\.fhr:\d+$/.test(recorded[0]),
    `the game is recorded in /save/replays (${recorded.join(' ') || 'nothing'})`);

  await page.tap('#keypad button[title="7"]');
  check(/state=4 /.test(await waitFor(/state=4 /, 5000)), 'a tap on the keypad\'s 7 shows the view from above');

  // Sound off, kept across a reload.
  await open();
  await page.keyboard.press('Shift');
  await page.keyboard.type('S');
  check(/sound=0/.test(await waitFor(/sound=0/, 5000)), '"Sound on" switched off');
  await page.waitForTimeout(1000);
  check(/sound=0/.test(await open()), 'sound is still off after a reload');
  const kept = await recordings();
  check(kept.includes(recorded[0]), `the recording is still there after a reload (${kept.join(' ') || 'nothing'})`);
} finally {
  await browser.close();
  server.close();
}
check(errors.length === 0, `no page errors${errors.length ? ': ' + errors.join(' | ') : ''}`);
if (failures.length === 0) rmSync(work, { recursive: true, force: true });
else console.log(`kept ${work}`);
process.exit(failures.length ? 1 : 0);
