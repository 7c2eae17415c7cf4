// SPDX-License-Identifier: Apache-2.0
// The trend plot as the window draws it: white area, value grid, time axis,
// the eight scales and traces in the rows' colours, the reference run dashed,
// the cursor and the credits box, in plot pixels of a plot cw pixels wide.

import { fixed, scaleDecimals } from './format';
import type { Painter } from './painter';

/** The colour of each display row, its scale, trace and value: black, red, green, blue, fuchsia, olive, teal, grey. */
export const TRACE_COLOURS = ['#000000', '#ff0000', '#008000', '#0000ff', '#ff00ff', '#808000', '#008080', '#808080'];

export const PLOT_TIME_ORIGIN_X = 160;
export const SCALE_TOP_Y = 20;
export const SCALE_BOTTOM_Y = 353;
export const PLOT_HEIGHT = 383;

/** The plot's window onto the run; times are simulated seconds. */
export interface PlotView {
  simTime: number;
  winStart: number;
  cursorTime: number;
  creditsShown: boolean;
  /** Pressures in kPa. */
  kpa: boolean;
}

/** A plotted variable: its scale and its values for seconds first .. first + values.length - 1. */
export interface Trace {
  minimum: number;
  maximum: number;
  first: number;
  values: Float64Array;
}

/** What the plot shows in each of the eight rows; null for a row without a trace ("No display"). */
export interface PlotContent {
  traces: (Trace | null)[];
  /** The reference run's values for the same rows, or null. */
  reference: (Trace | null)[] | null;
  modelVersion: string;
}

const gridStep = (j: number) => Math.trunc((333 * j) / 10);
const scaleX = (cw: number, k: number) => (k < 4 ? 12 + 38 * k : cw - 302 + 38 * k);

/** The largest multiple of 60 below cw - 321: the offset of the last labelled minute line. */
export function gridSpan(cw: number): number {
  let span = 0;
  for (let offset = 0; offset < cw - 321; offset += 15) if (offset % 60 === 0) span = offset;
  return span;
}

/** The last plotted time: win_start + min(sim_time - win_start, cw - 320); 0 while the credits show. */
export function lastPlottedTime(view: PlotView, cw: number): number {
  if (view.creditsShown) return 0;
  const spanned = view.simTime - view.winStart;
  if (spanned <= 0) return view.winStart;
  return view.winStart + Math.min(spanned, Math.max(cw - 320, 0));
}

/** True when time t lies in the plotted window, where the cursor can be drawn. */
export function cursorWithinPlot(view: PlotView, cw: number, t: number): boolean {
  const x = t - view.winStart + PLOT_TIME_ORIGIN_X;
  return x >= PLOT_TIME_ORIGIN_X && x <= cw - 160;
}

function drawFrame(p: Painter, cw: number, view: PlotView): void {
  p.fillRect(2, 0, cw - 3, PLOT_HEIGHT, '#ffffff');
  p.pen('#000000');
  p.polyline([2, 381, cw - 1, 381, cw - 1, 0, 2, 0, 2, 381]);
  const lines: number[] = [];
  for (let k = 0; k <= 10; ++k) {
    const y = SCALE_BOTTOM_Y - gridStep(k);
    lines.push(161, y, cw - 160, y);
  }
  for (let offset = 0; offset < cw - 321; offset += 15) {
    const x = PLOT_TIME_ORIGIN_X + offset;
    if (offset % 60 === 0) {
      lines.push(x, SCALE_BOTTOM_Y, x, SCALE_TOP_Y);
      p.text(156 + offset, 355, String(Math.trunc((view.winStart + offset) / 60)));
    }
    if ((offset + 30) % 4 === 0) lines.push(x, SCALE_BOTTOM_Y, x, 344);
    if ((offset + 15) % 2 === 0) lines.push(x, SCALE_BOTTOM_Y, x, 347);
  }
  lines.push(cw - 160, SCALE_BOTTOM_Y, cw - 160, SCALE_TOP_Y);
  p.lines(lines);
  p.text(cw - 152, 355, 'minutes');
}

function drawScales(p: Painter, cw: number, traces: (Trace | null)[]): void {
  traces.forEach((trace, k) => {
    if (!trace) return;
    const x = scaleX(cw, k);
    p.pen(TRACE_COLOURS[k]);
    p.lines([x, SCALE_BOTTOM_Y, x, 14]);
    const decimals = scaleDecimals(trace.maximum);
    for (let j = 0; j <= 10; ++j) {
      const value = trace.minimum + j * 0.1 * (trace.maximum - trace.minimum);
      p.text(x + 4, 344 - gridStep(j), fixed(value, decimals));
    }
  });
}

/** y of a value on a scale, in single precision as the window computes it. */
function yMapping(trace: Trace): (value: number) => number {
  const s = Math.fround(333.0 / (trace.minimum - trace.maximum));
  const o = Math.fround(353.0 - s * trace.minimum);
  return (value) => Math.trunc(Math.min(Math.max(s * value + o, -1.0e6), 1.0e6));
}

/** The value of a trace at second t, or NaN outside it. */
const valueAt = (trace: Trace, t: number) => {
  const k = t - trace.first;
  return k >= 0 && k < trace.values.length ? trace.values[k] : NaN;
};

/**
 * A trace's segments from win_start on, drawn only where the value a segment
 * ends at lies strictly inside the limits; consecutive segments are joined
 * into polylines so that dashes run on along the trace.
 */
function drawTrace(p: Painter, cw: number, view: PlotView, trace: Trace, lastTime: number): void {
  const y = yMapping(trace);
  const span = lastTime - view.winStart;
  const widthLimit = cw - 320;
  let line: number[] = [];
  const flush = () => {
    if (line.length > 2) p.polyline(line);
    line = [];
  };
  let a = valueAt(trace, view.winStart);
  for (let i = 0; i < span && i !== widthLimit; ++i) {
    const b = valueAt(trace, view.winStart + i + 1);
    if (trace.minimum < b && b < trace.maximum) {
      if (!line.length) line.push(161 + i, Number.isNaN(a) ? y(b) : y(a));
      line.push(162 + i, y(b));
    } else {
      flush();
    }
    a = b;
  }
  flush();
}

function drawCursor(p: Painter, cw: number, view: PlotView): boolean {
  if (!cursorWithinPlot(view, cw, view.cursorTime)) return false;
  const x = view.cursorTime - view.winStart + PLOT_TIME_ORIGIN_X;
  p.pen('#ff0000', [4, 2]);
  p.lines([x, SCALE_BOTTOM_Y, x, SCALE_TOP_Y]);
  p.pen('#ff0000');
  p.polyline([x - 4, 11, x, 17, x + 5, 10]);
  p.polyline([x - 4, 373, x, 367, x + 5, 374]);
  return true;
}

function drawCredits(p: Painter, modelVersion: string): void {
  p.fillRect(275, 25, 430, 315, '#ffffff');
  p.pen('#000000');
  p.polyline([275, 25, 705, 25, 705, 340, 275, 340, 275, 25]);
  p.text(300, 60, 'Tolvane');
  p.text(300, 80, 'a teaching simulator of human respiration, in the browser');
  p.text(300, 120, 'Press RUN to run the subject one simulated minute.');
  p.text(283, 225, 'Concept and Physiological Model:');
  p.text(295, 240, 'the respiratory physiology teaching group');
  p.text(283, 260, 'Contributor:');
  p.text(295, 275, 'the clinical teachers who tried every version on students');
  p.text(283, 295, 'Graphical Interface:');
  p.text(295, 310, 'the Tolvane front-end developers');
  p.text(445, 325, `Interface: 2.01    Model: ${modelVersion}`);
}

/** The whole plot: frame, scales, reference traces, traces or credits, cursor. Returns whether the cursor was drawn. */
export function paintTrendPlot(p: Painter, cw: number, view: PlotView, content: PlotContent): boolean {
  drawFrame(p, cw, view);
  drawScales(p, cw, content.traces);
  if (content.reference) {
    content.reference.forEach((trace, k) => {
      if (!trace) return;
      p.pen(TRACE_COLOURS[k], [3, 2]);
      drawTrace(p, cw, view, trace, trace.first + trace.values.length - 1);
    });
  }
  if (!view.creditsShown) {
    content.traces.forEach((trace, k) => {
      if (!trace) return;
      p.pen(TRACE_COLOURS[k]);
      drawTrace(p, cw, view, trace, view.simTime);
    });
  }
  const drawn = drawCursor(p, cw, view);
  if (view.creditsShown) drawCredits(p, content.modelVersion);
  return drawn;
}
