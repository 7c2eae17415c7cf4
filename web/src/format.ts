// SPDX-License-Identifier: Apache-2.0
// The texts the page shows numbers and times in, as the window writes them.

/** value with `decimals` decimals, as printf's "%.Nf" rounds (an exact tie to even). */
export function fixed(value: number, decimals: number): string {
  if (!Number.isFinite(value)) return String(value);
  const scaled = value * 10 ** decimals;
  const tie = Math.abs(scaled % 1) === 0.5 && scaled / 10 ** decimals === value;
  if (tie) {
    const lower = Math.trunc(scaled);
    const even = lower % 2 === 0 ? lower : lower + Math.sign(scaled);
    return (even / 10 ** decimals).toFixed(decimals);
  }
  return value.toFixed(decimals);
}

/** Seconds as "MM:SS" (minutes may run past 99). */
export function minutesSeconds(t: number): string {
  const minutes = Math.floor(t / 60);
  const seconds = t - 60 * minutes;
  return `${String(minutes).padStart(2, '0')}:${String(seconds).padStart(2, '0')}`;
}

/** "M:SS" or "MM:SS" back into seconds; undefined for any other text. */
export function parseMinutesSeconds(text: string): number | undefined {
  const match = /^\s*(\d{1,4}):([0-5]\d)\s*$/.exec(text);
  return match ? 60 * Number(match[1]) + Number(match[2]) : undefined;
}

/** The leading decimal number of a typed text (full stop as separator), 0 when there is none. */
export function leadingNumber(text: string): number {
  const match = /^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?/.exec(text);
  return match ? Number(match[0]) : 0;
}

/** The labels of a scale with this maximum: no decimals from 100 up, one from 1, none below 1. */
export function scaleDecimals(maximum: number): number {
  if (maximum >= 100) return 0;
  if (maximum >= 1) return 1;
  return 0;
}
