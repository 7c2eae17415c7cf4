// SPDX-License-Identifier: Apache-2.0
// The simulator as the page runs it, under node: the WebAssembly build and
// the page's own binding (build-web/, made by scripts/web.sh), and
// tolvane-batch beside it for the files to compare with.
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const top = resolve(fileURLToPath(new URL('../..', import.meta.url)));
// The WebAssembly build to test: build-web/, or TOLVANE_WEB_BUILD.
const built = process.env.TOLVANE_WEB_BUILD ?? join(top, 'build-web');
const createTolvane = createRequire(import.meta.url)(join(built, 'tolvane_wasm.js'));
export const { Session, SessionError, ERR_DIED } = await import(pathToFileURL(join(built, 'session.mjs')).href);

/** A new session in a module of its own. */
export async function newSession() {
  return new Session(await createTolvane());
}

/** Runs tolvane-batch with args and returns the bytes of the CSV it wrote to csvPath. */
export function batchCsv(batch, args, csvPath) {
  execFileSync(batch, [...args, '--csv', csvPath], { stdio: ['ignore', 'ignore', 'pipe'] });
  return readFileSync(csvPath);
}

/** Where two byte strings first differ, as "line N: A | B"; "" when equal. */
export function firstDifference(actual, expected) {
  if (Buffer.compare(Buffer.from(actual), Buffer.from(expected)) === 0) return '';
  const a = Buffer.from(actual).toString('utf8').split('\n');
  const b = Buffer.from(expected).toString('utf8').split('\n');
  for (let k = 0; k < Math.max(a.length, b.length); ++k)
    if (a[k] !== b[k]) return `line ${k + 1} of ${a.length} and ${b.length}:\n  page:  ${a[k]?.slice(0, 200)}\n  batch: ${b[k]?.slice(0, 200)}`;
  return 'same lines, different bytes';
}
