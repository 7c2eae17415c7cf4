// SPDX-License-Identifier: Apache-2.0
// The page in headless Chromium, opened from disk, used as a student would:
// a lesson whose exported CSV must equal tolvane-batch's for the same
// actions byte for byte, a subject loaded and saved back, and the
// keyboard, clamping and unit controls.
// Usage: node page_test.mjs TOLVANE_BATCH WORK_DIR
import assert from 'node:assert/strict';
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { launch, openPage } from './browser.mjs';
import { batchCsv, firstDifference, top } from './simulator.mjs';

const [batch, work] = process.argv.slice(2);
mkdirSync(work, { recursive: true });

let chromium;
before(async () => (chromium = await launch()));
after(async () => chromium?.close());

/** Clicks selector and returns the bytes of the file the page downloads. */
async function download(page, selector) {
  const [file] = await Promise.all([page.waitForEvent('download'), page.click(selector)]);
  return readFileSync(await file.path());
}

/** Types text into factor row's value field and presses Enter. */
async function enterFactor(page, row, text) {
  const field = page.locator('#factor-rows input').nth(row);
  await field.fill(text);
  await field.press('Enter');
}

/** The page's exported CSV must equal tolvane-batch's for script (named name in work). */
async function assertBatchCsv(page, name, script) {
  const csv = await download(page, '#export-csv');
  writeFileSync(join(work, `${name}.txt`), script);
  const expected = batchCsv(batch, ['--script', join(work, `${name}.txt`)], join(work, `${name}.csv`));
  assert.equal(firstDifference(csv, expected), '');
}

const run = async (page, times) => {
  for (let k = 0; k < times; ++k) await page.click('#run');
};

describe('a lesson in the page', () => {
  test('RUN, a factor, the cursor, RE-RUN: the exported CSV is the batch CSV', async () => {
    const { page, errors } = await openPage(chromium.context, 1280, 720);
    await run(page, 3);
    await enterFactor(page, 0, '12');
    await run(page, 2);
    // The plot's time axis starts at x = 160, one pixel a second.
    const box = await page.locator('#plot').boundingBox();
    await page.mouse.click(box.x + 160 + 180, box.y + 200);
    assert.equal(await page.inputValue('#cursor'), '03:00');
    await page.click('#rerun');
    await run(page, 1);
    await assertBatchCsv(page, 'lesson', 'at 3:00 set inspired_o2 12\nat 5:00 rerun 3:00\nrun until 4:00\n');
    assert.deepEqual(errors, []);
    await page.close();
  });

  test("the respiration settings act as a script's ventilation and bag lines", async () => {
    const { page, errors } = await openPage(chromium.context, 1280, 720);
    const respiration = async (fill) => {
      await page.click('#respiration');
      await fill();
      await page.click('#respiration-ok');
    };
    await respiration(async () => {
      await page.check('#artificial');
      await page.fill('#rate', '12');
      await page.fill('#tidal', '600');
      await page.fill('#peep', '0');
    });
    await run(page, 1);
    await respiration(() => page.check('input[name=bag][value="9"]'));
    await run(page, 1);
    await assertBatchCsv(
      page,
      'respiration',
      'at 0:00 ventilation artificial rate 12 tidal 600 peep 0\nat 1:00 bag glottis\nrun until 2:00\n',
    );
    assert.deepEqual(errors, []);
    await page.close();
  });

  test('a loaded subject saves back unchanged but for the header line', async () => {
    const { page, errors } = await openPage(chromium.context, 1280, 720);
    const path = join(top, 'subjects', 'altitude_450mmHg.sbj');
    await page.setInputFiles('#file', path);
    await page.waitForFunction(() => document.getElementById('title').textContent === 'altitude_450mmHg.sbj', null, { timeout: 5000 });
    const saved = await download(page, '#save');
    const lines = (bytes) => Buffer.from(bytes).toString('latin1').split('\n');
    const original = lines(readFileSync(path));
    assert.match(lines(saved)[0], /^\/\/ #001 altitude_450mmHg\.sbj /);
    assert.deepEqual(lines(saved).slice(1), original.slice(1));
    assert.deepEqual(errors, []);
    await page.close();
  });
});

describe('controls', () => {
  test('the RUN key runs a minute and is shown on the button', async () => {
    const { page } = await openPage(chromium.context, 1024, 768);
    const label = await page.textContent('#run');
    const key = /\((F\d+)\)/.exec(label)?.[1];
    assert.ok(key && key !== 'F5', `RUN shows a key other than F5: ${label}`);
    await page.keyboard.press(key);
    await page.keyboard.press(key);
    assert.equal(await page.inputValue('#cursor'), '02:00');
    await page.close();
  });

  test('a value outside the limits is held to them with a hint; Enter takes it', async () => {
    const { page } = await openPage(chromium.context, 1024, 768);
    await enterFactor(page, 0, '150');
    assert.equal(await page.inputValue('#factor-rows input >> nth=0'), '100.00');
    assert.match(await page.textContent('#hint'), /outside limits/);
    await page.close();
  });

  test('kPa shows pressures in kPa; mm Hg shows them back', async () => {
    const { page } = await openPage(chromium.context, 1024, 768);
    await run(page, 1);
    const value = () => page.textContent('#display-rows output >> nth=0');
    const mmHg = Number(await value());
    await page.check('#kpa');
    assert.equal(Number(await value()).toFixed(1), (mmHg * 0.1332).toFixed(1));
    assert.match(await page.textContent('#display-rows .unit >> nth=0'), /kPa/);
    await page.check('#mmhg');
    assert.equal(Number(await value()), mmHg);
    await page.close();
  });

  test('BACK stops at time 0 with a hint; the arrow keys and Alt+arrows move the cursor', async () => {
    const { page } = await openPage(chromium.context, 1024, 768);
    await run(page, 2);
    await page.click('#back');
    assert.match(await page.textContent('#hint'), /negative time/);
    await page.focus('#plot');
    await page.keyboard.press('ArrowLeft');
    assert.equal(await page.inputValue('#cursor'), '01:59');
    await page.keyboard.press('Shift+ArrowLeft');
    assert.equal(await page.inputValue('#cursor'), '00:59');
    // Alt+arrows from anywhere, as in the window; the browser does not go back a page.
    await page.focus('#reset');
    await page.keyboard.press('Alt+ArrowRight');
    assert.equal(await page.inputValue('#cursor'), '01:00');
    await page.keyboard.press('Alt+ArrowLeft');
    assert.equal(await page.inputValue('#cursor'), '00:59');
    assert.match(page.url(), /tolvane\.html$/);
    await page.close();
  });

  test('Tab goes through the panels in order: control, passport, factors, displays', async () => {
    const { page } = await openPage(chromium.context, 1280, 720);
    await page.focus('#run');
    const order = [];
    for (let k = 0; k < 40; ++k) {
      await page.keyboard.press('Tab');
      order.push(await page.evaluate(() => document.activeElement.closest('fieldset')?.className ?? ''));
    }
    const panels = order.filter((name, k) => name && name !== order[k - 1]);
    assert.deepEqual(panels.slice(0, 4), ['control', 'passport', 'factors', 'displays']);
    await page.close();
  });

  test('the plot exports as SVG and PNG', async () => {
    const { page } = await openPage(chromium.context, 1280, 720);
    await run(page, 2);
    const svg = (await download(page, '#export-svg')).toString('utf8');
    assert.match(svg, /^<\?xml[^]*<svg[^]*minutes[^]*<\/svg>\n$/);
    const png = await download(page, '#export-png');
    assert.equal(png.subarray(1, 4).toString('latin1'), 'PNG');
    await page.close();
  });
});
