// SPDX-License-Identifier: Apache-2.0
// The guide's pictures of the page: the lesson of the guide's first pages
// (rest kept as reference, then 8 % O2 from minute 2) at a projector's
// 1280 x 720, at 1920 x 1080 and in a 1024-pixel-wide tablet window.
// Usage (after scripts/web.sh): node web/guide_shots.mjs docs/web
import { join } from 'node:path';
import { launch, openPage } from '../tests/web/browser.mjs';

const folder = process.argv[2] ?? 'docs/web';
const chromium = await launch();
try {
  for (const [width, height] of [[1280, 720], [1920, 1080], [1024, 768]]) {
    const { page, errors } = await openPage(chromium.context, width, height);
    for (let k = 0; k < 8; ++k) await page.click('#run');
    await page.click('#keep-reference');
    await page.click('#reset');
    await page.click('#run');
    await page.click('#run');
    const field = page.locator('#factor-rows input').nth(0);
    await field.fill('8');
    await field.press('Enter');
    for (let k = 0; k < 6; ++k) await page.click('#run');
    await page.mouse.move(0, 0);
    await page.screenshot({ path: join(folder, `page_${width}x${height}.png`) });
    if (errors.length) throw new Error(errors.join('\n'));
    await page.close();
  }
} finally {
  await chromium.close();
}
