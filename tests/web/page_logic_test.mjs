// SPDX-License-Identifier: Apache-2.0
// The page's own logic under node: the number and time texts, the plot's
// window, and the trend plot's drawing rules, checked on what a recording
// painter receives.
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { describe, test } from 'node:test';
import { top } from './simulator.mjs';

const load = (name) => import(pathToFileURL(join(top, 'build-web', `${name}.mjs`)).href);
const { fixed, leadingNumber, minutesSeconds, parseMinutesSeconds, scaleDecimals } = await load('format');
const { cursorWithinPlot, gridSpan, lastPlottedTime, paintTrendPlot, TRACE_COLOURS } = await load('trend_plot');
const { SvgPainter } = await load('painter');

describe('texts', () => {
  test('fixed rounds as printf: an exact tie to even, everything else to nearest', () => {
    const cases = [
      [0.125, 2, '0.12'], [0.375, 2, '0.38'], [2.5, 0, '2'], [3.5, 0, '4'], [-0.125, 2, '-0.12'],
      [93.18000030517578, 2, '93.18'], [0.1 + 0.2, 1, '0.3'], [7.365, 2, '7.36'],
    ];
    for (const [value, decimals, text] of cases) assert.equal(fixed(value, decimals), text, `${value} %.${decimals}f`);
  });

  test('times: MM:SS out, M:SS or MM:SS in, anything else refused', () => {
    assert.equal(minutesSeconds(0), '00:00');
    assert.equal(minutesSeconds(185), '03:05');
    assert.equal(minutesSeconds(6000), '100:00');
    assert.equal(parseMinutesSeconds('3:00'), 180);
    assert.equal(parseMinutesSeconds(' 12:59 '), 779);
    for (const text of ['3:60', '3', ':30', '3:5', 'a:00', '-1:00']) assert.equal(parseMinutesSeconds(text), undefined, text);
  });

  test('a typed value is its leading number, 0 when there is none', () => {
    const cases = [['12', 12], [' 12.5 %', 12.5], ['-3.5', -3.5], ['.5', 0.5], ['+7', 7], ['abc', 0], ['', 0], ['1,5', 1]];
    for (const [text, value] of cases) assert.equal(leadingNumber(text), value, JSON.stringify(text));
  });

  test('scale labels: no decimals from 100 up, one from 1, none below 1', () => {
    assert.deepEqual([500, 100, 99.9, 10, 8, 1, 0.8].map(scaleDecimals), [0, 0, 1, 1, 1, 1, 0]);
  });
});

describe('the plot window', () => {
  test('the last labelled minute line lies below cw - 321', () => {
    assert.equal(gridSpan(1014), 660);
    assert.equal(gridSpan(1280), 900);
    assert.equal(gridSpan(321), 0);
  });

  test('the last plotted time and where the cursor can be', () => {
    const view = { simTime: 900, winStart: 0, cursorTime: 0, creditsShown: false, kpa: false };
    assert.equal(lastPlottedTime(view, 1014), 694);
    assert.equal(lastPlottedTime({ ...view, creditsShown: true }, 1014), 0);
    assert.equal(lastPlottedTime({ ...view, winStart: 900 }, 1014), 900);
    assert.ok(cursorWithinPlot(view, 1014, 694));
    assert.ok(!cursorWithinPlot(view, 1014, 695));
    assert.ok(!cursorWithinPlot({ ...view, winStart: 60 }, 1014, 59));
  });
});

/** A painter that records every line it is given, with its pen. */
class RecordingPainter {
  calls = [];
  pen(colour, dash = []) {
    this.colour = colour;
    this.dash = dash;
  }
  fillRect() {}
  lines(c) {
    this.calls.push({ colour: this.colour, dash: this.dash, points: c });
  }
  polyline(p) {
    this.calls.push({ colour: this.colour, dash: this.dash, points: p, polyline: true });
  }
  text(x, y, text) {
    this.calls.push({ colour: this.colour, text, x, y });
  }
}

const trace = (values, minimum = 0, maximum = 100) => ({ minimum, maximum, first: 0, values: Float64Array.from(values) });

describe('the trend plot', () => {
  const view = { simTime: 4, winStart: 0, cursorTime: 4, creditsShown: false, kpa: false };
  const paint = (traces, reference = null) => {
    const painter = new RecordingPainter();
    const drawn = paintTrendPlot(painter, 1014, view, { traces, reference, modelVersion: 'test' });
    return { calls: painter.calls, drawn };
  };

  test('a row draws its scale in its colour with eleven labels, and rows without a variable draw none', () => {
    const { calls } = paint([trace([50, 50, 50, 50, 50]), null, null, trace([7, 7, 7, 7, 7], 6.8, 8), null, null, null, null]);
    const labels = (colour) => calls.filter((c) => c.text !== undefined && c.colour === colour).map((c) => c.text);
    assert.deepEqual(labels(TRACE_COLOURS[3]), ['6.8', '6.9', '7.0', '7.2', '7.3', '7.4', '7.5', '7.6', '7.8', '7.9', '8.0']);
    assert.equal(labels(TRACE_COLOURS[1]).length, 0);
    // Row 3's scale stands at x = 12 + 38 * 3 and its values at 50 % of 0..100 map to y = 186.
    assert.ok(calls.some((c) => c.colour === TRACE_COLOURS[3] && c.points?.[0] === 126));
    const line = calls.find((c) => c.polyline && c.colour === TRACE_COLOURS[0] && c.points[0] === 161);
    assert.deepEqual(line.points, [161, 186, 162, 186, 163, 186, 164, 186, 165, 186]);
  });

  test('a segment is drawn only where the value it ends at lies strictly inside the limits', () => {
    const { calls } = paint([trace([50, 100, 50, 0, 50]), null, null, null, null, null, null, null]);
    const lines = calls.filter((c) => c.polyline && c.colour === TRACE_COLOURS[0] && c.points[0] >= 161);
    // Seconds 1 (100) and 3 (0) sit on the limits: the segments ending there are left out, and
    // the ones after them start from them (y 20 at the maximum, 353 at the minimum).
    assert.deepEqual(lines.map((c) => c.points), [[162, 20, 163, 186], [164, 353, 165, 186]]);
  });

  test('the reference is dashed in the row colour under the live trace, and the cursor red', () => {
    const { calls, drawn } = paint(
      [trace([50, 50, 50, 50, 50]), null, null, null, null, null, null, null],
      [trace([20, 20, 20]), null, null, null, null, null, null, null],
    );
    const dashed = calls.find((c) => c.polyline && c.colour === TRACE_COLOURS[0] && c.dash.length);
    // 20 % of the scale: 353 - 3.33 x 20 = 286.4, cut toward zero as the window does.
    assert.deepEqual(dashed.points, [161, 286, 162, 286, 163, 286]);
    const solid = calls.findIndex((c) => c.polyline && c.colour === TRACE_COLOURS[0] && !c.dash.length && c.points[0] === 161);
    assert.ok(calls.indexOf(dashed) < solid);
    assert.ok(drawn);
    assert.ok(calls.some((c) => c.colour === '#ff0000' && c.points?.[0] === 164));
  });

  test('the SVG picture holds the same drawing as text', () => {
    const painter = new SvgPainter();
    paintTrendPlot(painter, 1014, view, { traces: [trace([50, 50, 50, 50, 50])], reference: null, modelVersion: 'test' });
    const svg = painter.svg(1014, 383);
    assert.match(svg, /^<\?xml version="1.0" encoding="UTF-8"\?>\n<svg [^>]*width="1014" height="383"/);
    assert.match(svg, /<polyline points="161.5,186.5 162.5,186.5 [^"]*" stroke="#000000" fill="none"\/>/);
    assert.match(svg, />minutes<\/text>/);
  });
});
