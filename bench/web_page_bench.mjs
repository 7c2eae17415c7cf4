// SPDX-License-Identifier: Apache-2.0
// The page's speed and size in headless Chromium, reported (not a test):
// ready after opening from disk, RUN (a simulated minute and the redraw), a
// full redraw, and the HTML file's size, each against its target.
// Usage (after scripts/web.sh): node bench/web_page_bench.mjs
import { statSync } from 'node:fs';
import { launch, openPage, pageFile } from '../tests/web/browser.mjs';

// The median, and the best as a reading less disturbed by other work on the machine.
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const best = (values) => Math.min(...values);
const rows = [];
const report = (what, values, unit, target) => {
  const [m, b] = [median(values), best(values)];
  const digits = unit === 'MB' ? 3 : 2;
  rows.push(
    `${what.padEnd(34)} median ${m.toFixed(digits).padStart(8)} best ${b.toFixed(digits).padStart(8)} ${unit.padEnd(3)}` +
      ` (target <= ${target} ${unit}) ${m <= target ? 'ok' : 'OVER'}`,
  );
};

const chromium = await launch();
try {
  const ready = [];
  for (let k = 0; k < 5; ++k) {
    const { page } = await openPage(chromium.context, 1280, 720);
    // Milliseconds from the start of the navigation to the page being ready.
    ready.push(await page.evaluate(() => window.tolvane.ready));
    await page.close();
  }
  // RUN and redraw at a projector's 1280 x 720 and at 1920 x 1080.
  const measure = async (width, height) => {
    const { page } = await openPage(chromium.context, width, height);
    const runMinutes = (count) =>
      page.evaluate((count) => {
        window.tolvane.page.reset();
        const times = [];
        for (let k = 0; k < count; ++k) {
          const start = performance.now();
          window.tolvane.page.run();
          times.push(performance.now() - start);
        }
        return times;
      }, count);
    // The first RUN runs the WebAssembly as first compiled; the browser then
    // compiles it again optimised, so thirty RUNs warm it up before the
    // thirty measured (30 simulated minutes, so the plot scrolls).
    const first = await runMinutes(1);
    await runMinutes(30);
    const runs = await runMinutes(30);
    // Redraws of the plot the last RUNs left: 30 minutes, eight traces.
    const redraws = await page.evaluate(() => {
      const times = [];
      for (let k = 0; k < 50; ++k) {
        const start = performance.now();
        window.tolvane.page.redraw();
        times.push(performance.now() - start);
      }
      return times;
    });
    await page.close();
    return { first, runs, redraws };
  };
  const small = await measure(1280, 720);
  const large = await measure(1920, 1080);
  report('ready after opening from disk', ready, 'ms', 1000);
  report('first RUN after opening', small.first, 'ms', 5);
  report('RUN: 60 simulated seconds + redraw', small.runs, 'ms', 5);
  report('full redraw (1280 x 720)', small.redraws, 'ms', 4);
  report('RUN at 1920 x 1080', large.runs, 'ms', 5);
  report('full redraw (1920 x 1080)', large.redraws, 'ms', 4);
  report('HTML file', [statSync(pageFile).size / 1e6], 'MB', 1.5);
  console.log(`Chromium ${chromium.context.browser()?.version() ?? ''}; medians of 5 openings, 30 RUNs after 30 to warm up, 50 redraws at each size`);
  console.log(rows.join('\n'));
} finally {
  await chromium.close();
}
