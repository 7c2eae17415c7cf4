// SPDX-License-Identifier: Apache-2.0
// Debian's Chromium, headless, driven by playwright-core from web/node_modules:
// no browser download, no network, a fresh profile each time.
import { mkdtempSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const top = resolve(fileURLToPath(new URL('../..', import.meta.url)));
const { chromium } = createRequire(join(top, 'web/package.json'))('playwright-core');

export const pageFile = join(top, 'web/dist/tolvane.html');
export const pageUrl = pathToFileURL(pageFile).href;

/** Starts Chromium; close() also removes its profile. */
export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), 'tolvane-chromium-'));
  // The profile folder is Chromium's --user-data-dir.
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    acceptDownloads: true,
    args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
    ],
  });
  return {
    context,
    async close() {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

/** Opens the page from disk in a window of width x height and waits until it is ready. */
export async function openPage(context, width, height) {
  const page = await context.newPage();
  await page.setViewportSize({ width, height });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(pageUrl);
  await page.waitForSelector('body[data-ready=true]', { timeout: 10000 });
  return { page, errors };
}
