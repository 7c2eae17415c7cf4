// SPDX-License-Identifier: Apache-2.0
// The WebAssembly session runs every shipped scenario and teaching subject
// and writes the same CSV as tolvane-batch, byte for byte.
// Usage: node session_csv_test.mjs TOLVANE_BATCH WORK_DIR SCRIPT_CSV
// (SCRIPT_CSV: the native session library's CSV of a script, script_csv.c).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { describe, test } from 'node:test';
import { batchCsv, firstDifference, newSession, top } from './simulator.mjs';

const [batch, work, scriptCsv] = process.argv.slice(2);
mkdirSync(work, { recursive: true });
const files = (folder, suffix) =>
  readdirSync(join(top, folder)).filter((name) => name.endsWith(suffix)).sort();

describe("scenario scripts give the native session library's CSV and tolvane-batch's", () => {
  for (const name of files('scenarios', '.txt')) {
    const path = join(top, 'scenarios', name);
    const run = async () => {
      const session = await newSession();
      session.runScript(readFileSync(path, 'utf8'));
      return session.csv();
    };
    test(`${name}: the native library's CSV`, async () => {
      const native = join(work, `${name}.native.csv`);
      execFileSync(scriptCsv, [path, native]);
      assert.equal(firstDifference(await run(), readFileSync(native)), '');
    });
    test(`${name}: tolvane-batch's CSV`, async () => {
      const expected = batchCsv(batch, ['--script', path], join(work, `${name}.csv`));
      assert.equal(firstDifference(await run(), expected), '');
    });
  }
});

describe('teaching subjects run ten minutes give the batch CSV', () => {
  for (const name of files('subjects', '.sbj')) {
    test(name, async () => {
      const path = join(top, 'subjects', name);
      const expected = batchCsv(batch, ['--subject', path, '--minutes', '10'], join(work, `${name}.csv`));
      const session = await newSession();
      session.loadSubject(new Uint8Array(readFileSync(path)), name);
      assert.equal(session.runMinutes(10).seconds, 600);
      assert.equal(firstDifference(session.csv(), expected), '');
    });
  }
});

describe('CSV numbers at every precision are the batch CSV', () => {
  // One digit writes most numbers with an exponent (the exact path of the
  // number writer), 4 and 9 mostly without (its fast path). The C interface
  // takes 1 to 9 digits.
  for (const digits of [1, 4, 9]) {
    test(`--digits ${digits}`, async () => {
      const session = await newSession();
      session.setFactor(session.factors.findIndex((f) => f.shortName === 'inspired_co2'), 5);
      session.runMinutes(3);
      const expected = batchCsv(batch, ['--set', 'INSPIRED_CO2=5', '--minutes', '3', '--digits', String(digits)],
        join(work, `digits_${digits}.csv`));
      assert.equal(firstDifference(session.csv(digits), expected), '');
    });
  }
});

describe('the session keeps its contract across the WebAssembly boundary', () => {
  test('a value outside the limits is held to them and the adjustment is listed', async () => {
    const session = await newSession();
    const o2 = session.factors.findIndex((f) => f.shortName === 'inspired_o2');
    assert.ok(o2 >= 0);
    assert.equal(session.setFactor(o2, 150), 100);
    assert.match(session.warnings(), /inspired_o2/);
    assert.equal(session.enterFactorText(o2, '12.5 %'), 12.5);
  });

  test('a time outside the history is refused and changes nothing', async () => {
    const session = await newSession();
    session.runMinutes(2);
    assert.throws(() => session.rerun(121), (error) => error.code === 4);
    assert.deepEqual(session.time(), { now: 120, latest: 120 });
  });

  test('RE-RUN with nothing changed repeats the run bit for bit', async () => {
    const session = await newSession();
    session.runMinutes(4);
    const first = session.history(15, 0, 241);
    session.rerun(90);
    session.runMinutes(3);
    assert.deepEqual(session.history(15, 0, 241), first);
  });

  test('a saved subject loads back and saves the same text', async () => {
    const session = await newSession();
    const bytes = new Uint8Array(readFileSync(join(top, 'subjects', 'severe_anaemia.sbj')));
    session.loadSubject(bytes, 'severe_anaemia.sbj');
    const saved = session.saveSubject('again.sbj');
    const other = await newSession();
    other.loadSubject(saved, 'again.sbj');
    const body = (b) => Buffer.from(b).toString('latin1').split('\n').slice(1).join('\n');
    assert.equal(body(other.saveSubject('again.sbj')), body(saved));
    assert.equal(body(saved), body(bytes));
  });
});
