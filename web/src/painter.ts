// SPDX-License-Identifier: Apache-2.0
// What the trend plot draws with: lines, polylines, filled rectangles and
// text in plot pixels, on a canvas for the screen and PNG, or into SVG text.

export interface Painter {
  /** Pen colour (CSS) and dash pattern ([] solid) for the lines that follow. */
  pen(colour: string, dash?: number[]): void;
  fillRect(x: number, y: number, width: number, height: number, colour: string): void;
  /** Lines given as x1, y1, x2, y2 quadruples. */
  lines(coordinates: number[]): void;
  polyline(points: number[]): void;
  /** Text with its cell's top-left corner at x, y, in the pen's colour. */
  text(x: number, y: number, text: string): void;
}

export const FONT_SIZE = 11;
export const FONT_FAMILY = 'DejaVu Sans, Verdana, Arial, sans-serif';

/** Draws on a 2D canvas; one plot pixel is `scale` device pixels. */
export class CanvasPainter implements Painter {
  private colour = '#000';
  constructor(private readonly g: CanvasRenderingContext2D) {
    g.font = `${FONT_SIZE}px ${FONT_FAMILY}`;
    g.textBaseline = 'top';
    g.lineWidth = 1;
    g.lineCap = 'square';
  }
  pen(colour: string, dash: number[] = []): void {
    this.colour = colour;
    this.g.strokeStyle = colour;
    this.g.fillStyle = colour;
    this.g.setLineDash(dash);
    this.g.lineCap = dash.length ? 'butt' : 'square';
  }
  fillRect(x: number, y: number, width: number, height: number, colour: string): void {
    this.g.fillStyle = colour;
    this.g.fillRect(x, y, width, height);
    this.g.fillStyle = this.colour;
  }
  lines(c: number[]): void {
    const g = this.g;
    g.beginPath();
    for (let k = 0; k + 3 < c.length; k += 4) {
      // Half-pixel offsets put a one-pixel line on one row or column of pixels.
      g.moveTo(c[k] + 0.5, c[k + 1] + 0.5);
      g.lineTo(c[k + 2] + 0.5, c[k + 3] + 0.5);
    }
    g.stroke();
  }
  polyline(p: number[]): void {
    const g = this.g;
    g.beginPath();
    g.moveTo(p[0] + 0.5, p[1] + 0.5);
    for (let k = 2; k + 1 < p.length; k += 2) g.lineTo(p[k] + 0.5, p[k + 1] + 0.5);
    g.stroke();
  }
  text(x: number, y: number, text: string): void {
    this.g.fillText(text, x, y);
  }
}

const escapeXml = (text: string) =>
  text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');

/** Writes SVG elements; svg() closes them into a document of the given size. */
export class SvgPainter implements Painter {
  private parts: string[] = [];
  private stroke = '#000';
  private dash = '';
  pen(colour: string, dash: number[] = []): void {
    this.stroke = colour;
    this.dash = dash.length ? ` stroke-dasharray="${dash.join(' ')}"` : '';
  }
  fillRect(x: number, y: number, width: number, height: number, colour: string): void {
    this.parts.push(`<rect x="${x}" y="${y}" width="${width}" height="${height}" fill="${colour}"/>`);
  }
  lines(c: number[]): void {
    if (c.length < 4) return;
    let d = '';
    for (let k = 0; k + 3 < c.length; k += 4) d += `M${c[k] + 0.5} ${c[k + 1] + 0.5}L${c[k + 2] + 0.5} ${c[k + 3] + 0.5}`;
    this.parts.push(`<path d="${d}" stroke="${this.stroke}"${this.dash} fill="none"/>`);
  }
  polyline(p: number[]): void {
    const points: string[] = [];
    for (let k = 0; k + 1 < p.length; k += 2) points.push(`${p[k] + 0.5},${p[k + 1] + 0.5}`);
    this.parts.push(`<polyline points="${points.join(' ')}" stroke="${this.stroke}"${this.dash} fill="none"/>`);
  }
  text(x: number, y: number, text: string): void {
    this.parts.push(
      `<text x="${x}" y="${y + FONT_SIZE}" fill="${this.stroke}" font-size="${FONT_SIZE}" font-family="${FONT_FAMILY}">${escapeXml(text)}</text>`,
    );
  }
  svg(width: number, height: number): string {
    return (
      `<?xml version="1.0" encoding="UTF-8"?>\n` +
      `<svg xmlns="http://www.w3.org/2000/svg" width="${width}" height="${height}" viewBox="0 0 ${width} ${height}" stroke-width="1" stroke-linecap="square">\n` +
      this.parts.join('\n') +
      '\n</svg>\n'
    );
  }
}
