// SPDX-License-Identifier: Apache-2.0
// The page: starts the simulator, builds the panels and wires the controls
// to the session. What a control means (clamping, RUN, RE-RUN, RESET, Load,
// Save, CSV) is the session's; the page keeps only what is about the screen:
// the plot's window and cursor, the unit mode, the hint line and the
// reference run.

import { fixed, leadingNumber, minutesSeconds, parseMinutesSeconds } from './format';
import { CanvasPainter, SvgPainter } from './painter';
import { Bag, HISTORY_SECONDS, KPA_PER_MMHG, PANEL_ROWS, Session, SessionError, type TolvaneModule } from './session';
import { PLOT_HEIGHT, PLOT_TIME_ORIGIN_X, SCALE_TOP_Y, TRACE_COLOURS, cursorWithinPlot, gridSpan, lastPlottedTime, paintTrendPlot, type PlotContent, type PlotView, type Trace } from './trend_plot';

declare const createTolvane: () => Promise<TolvaneModule>;

/** The key that runs a minute: F5 reloads the page, so the page takes F8. */
export const RUN_KEY = 'F8';

const HINTS = [
  '',
  ' duplicate subject factor, not accepted',
  ' entered value was outside limits, it has been adjusted',
  ' click within time spanned by the plot',
  ' cannot display negative time values',
  ' cannot back further as history capacity is limited',
  ' cannot display events that have not yet occurred',
];

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

/** A kept run: every display variable from second 0 to its end. */
interface ReferenceRun {
  values: Float64Array[];
  seconds: number;
}

class Page {
  private view: PlotView = { simTime: 0, winStart: 0, cursorTime: 0, creditsShown: true, kpa: false };
  private cursorPinned = false;
  /** The latest time reached since the subject's start, as the session's clock says. */
  private latest = 0;
  private reference: ReferenceRun | null = null;
  private subjectName = 'subject.sbj';
  private hintTimer = 0;
  private readonly canvas = byId<HTMLCanvasElement>('plot');
  private readonly factorRows: { select: HTMLSelectElement; input: HTMLInputElement; unit: HTMLElement }[] = [];
  private readonly displayRows: { select: HTMLSelectElement; value: HTMLOutputElement; unit: HTMLElement; reference: HTMLElement }[] = [];

  constructor(private readonly session: Session) {
    this.updateZoom();
    this.buildRows();
    this.wire();
    window.addEventListener('resize', () => this.updateZoom());
    this.canvasWidth = this.canvas.clientWidth;
    new ResizeObserver((entries) => {
      this.canvasWidth = entries[entries.length - 1].contentRect.width;
      this.redraw();
    }).observe(this.canvas);
    this.refreshPanels();
    this.redraw();
  }

  // ---- the plot ----------------------------------------------------------

  /** Plot pixels per CSS pixel: 1 up to 1280 x 720, growing with larger windows up to 2. */
  private zoom = 1;

  private updateZoom(): void {
    this.zoom = Math.min(Math.max(Math.min(window.innerWidth / 1280, window.innerHeight / 720), 1), 2);
    document.documentElement.style.setProperty('--zoom', String(this.zoom));
  }

  /** The canvas's width in CSS pixels, kept by a ResizeObserver so that drawing forces no layout. */
  private canvasWidth = 0;

  /** The plot's width in plot pixels. */
  private cw(): number {
    return Math.max(Math.round(this.canvasWidth / this.zoom), 400);
  }

  private traceOf(index: number, first: number, last: number): Trace | null {
    const variable = this.session.displays[index];
    if (!variable || variable.minimum === variable.maximum) return null;
    const kpa = this.view.kpa && variable.kpa;
    const values = last >= first ? this.session.history(index, first, last - first + 1) : new Float64Array(0);
    if (kpa) for (let k = 0; k < values.length; ++k) values[k] *= KPA_PER_MMHG;
    return {
      minimum: kpa ? kpa.minimum : variable.minimum,
      maximum: kpa ? kpa.maximum : variable.maximum,
      first,
      values,
    };
  }

  private content(cw: number): PlotContent {
    const last = Math.min(this.view.simTime, lastPlottedTime(this.view, cw));
    const first = Math.max(0, this.view.winStart);
    const rows = this.displayRows.map((_, row) => this.session.panelDisplay(row));
    return {
      traces: rows.map((index) => this.traceOf(index, first, this.view.creditsShown ? first - 1 : last)),
      reference: this.reference ? rows.map((index) => this.referenceTrace(index)) : null,
      modelVersion: this.session.modelVersion,
    };
  }

  private referenceTrace(index: number): Trace | null {
    const variable = this.session.displays[index];
    if (!this.reference || !variable || variable.minimum === variable.maximum) return null;
    const kpa = this.view.kpa && variable.kpa;
    const values = this.reference.values[index].slice();
    if (kpa) for (let k = 0; k < values.length; ++k) values[k] *= KPA_PER_MMHG;
    return { minimum: kpa ? kpa.minimum : variable.minimum, maximum: kpa ? kpa.maximum : variable.maximum, first: 0, values };
  }

  /** Moves an unpinned cursor to the last plotted time, then draws the plot and the panels' values. */
  redraw(): void {
    const cw = this.cw();
    if (!this.cursorPinned) this.view.cursorTime = lastPlottedTime(this.view, cw);
    const scale = (window.devicePixelRatio || 1) * this.zoom;
    const width = Math.round(this.canvasWidth * (window.devicePixelRatio || 1));
    const height = Math.round(PLOT_HEIGHT * scale);
    if (this.canvas.width !== width || this.canvas.height !== height) {
      this.canvas.width = width;
      this.canvas.height = height;
    }
    const g = this.canvas.getContext('2d')!;
    g.setTransform(scale, 0, 0, scale, 0, 0);
    g.clearRect(0, 0, this.canvas.width, this.canvas.height);
    const drawn = paintTrendPlot(new CanvasPainter(g), cw, this.view, this.content(cw));
    const cursorField = byId<HTMLInputElement>('cursor');
    cursorField.value = minutesSeconds(this.shownTime());
    cursorField.classList.toggle('outside', !drawn);
    this.refreshValues();
  }

  /** The time the display panel shows: the cursor when placed, else now. */
  private shownTime(): number {
    return this.cursorPinned ? this.view.cursorTime : this.view.simTime;
  }

  private pictureSvg(): string {
    const cw = this.cw();
    const painter = new SvgPainter();
    paintTrendPlot(painter, cw, this.view, this.content(cw));
    return painter.svg(cw, PLOT_HEIGHT);
  }

  private picturePng(): Promise<Blob> {
    const cw = this.cw();
    const canvas = document.createElement('canvas');
    canvas.width = 2 * cw;
    canvas.height = 2 * PLOT_HEIGHT;
    const g = canvas.getContext('2d')!;
    g.scale(2, 2);
    paintTrendPlot(new CanvasPainter(g), cw, this.view, this.content(cw));
    return new Promise((resolve, reject) => canvas.toBlob((blob) => (blob ? resolve(blob) : reject(new Error('no picture'))), 'image/png'));
  }

  // ---- the controls ----------------------------------------------------------

  run(): void {
    this.takeFocusedValue();
    if (this.session.isDead()) return;
    const start = this.view.simTime;
    const stepLength = 60 - (start % 60);
    const outcome = this.session.runMinutes(1);
    this.syncClock();
    this.cursorPinned = false;
    const span = gridSpan(this.cw());
    if (this.view.simTime - this.view.winStart > span)
      this.view.winStart = this.view.simTime + (stepLength - outcome.seconds) - span;
    this.view.creditsShown = false;
    if (outcome.message) this.showHint(' ' + outcome.message, true);
    this.refreshNotes();
    this.enableControls();
    this.redraw();
  }

  /** The plot's current time and the latest time from the session's clock. */
  private syncClock(): void {
    const clock = this.session.time();
    this.view.simTime = clock.now;
    this.latest = clock.latest;
  }

  rerun(): void {
    this.takeFocusedValue();
    this.attempt(() => this.session.rerun(this.view.cursorTime));
    this.syncClock();
    this.refreshNotes();
    this.refreshPanels();
    this.enableControls();
    this.redraw();
  }

  /** RESET and Load: time 0 with the credits, as at start-up. */
  private restartView(): void {
    this.view = { simTime: 0, winStart: 0, cursorTime: 0, creditsShown: true, kpa: this.view.kpa };
    this.cursorPinned = false;
    this.syncClock();
    this.refreshNotes();
    this.refreshPanels();
    this.enableControls();
    this.redraw();
  }

  reset(): void {
    this.attempt(() => this.session.reset());
    this.restartView();
  }

  back(): void {
    this.cursorPinned = true;
    this.view.winStart -= 60;
    if (this.view.winStart < 0) {
      this.view.winStart = 0;
      this.showHint(HINTS[4], true);
    }
    if (this.view.winStart < this.latest - HISTORY_SECONDS) {
      this.view.winStart = this.latest - HISTORY_SECONDS;
      this.showHint(HINTS[5], true);
    }
    this.redraw();
  }

  forward(): void {
    this.view.winStart += 60;
    if (this.view.winStart > this.view.simTime) {
      this.view.winStart = this.view.simTime;
      this.showHint(HINTS[6], true);
    }
    this.redraw();
  }

  /** One second (or up to a minute) left or right, within the plotted run. */
  moveCursor(direction: -1 | 1, large: boolean): void {
    for (let n = 0; n < (large ? 60 : 1); ++n) {
      if (direction < 0 ? this.view.cursorTime <= this.view.winStart : this.view.cursorTime >= this.view.simTime) break;
      this.view.cursorTime += direction;
    }
    this.cursorPinned = true;
    this.redraw();
  }

  /** A click at plot point x, y places the cursor within the plotted span. */
  placeCursor(x: number, y: number): void {
    const dx = x - PLOT_TIME_ORIGIN_X;
    if (dx > 0 && dx <= this.view.simTime - this.view.winStart && y > SCALE_TOP_Y && y < PLOT_HEIGHT) {
      this.view.cursorTime = this.view.winStart + dx;
      this.cursorPinned = true;
      this.redraw();
    } else {
      this.showHint(HINTS[3], true);
    }
  }

  /** The cursor field: a typed time within the history places the cursor there. */
  private enterCursorTime(text: string): void {
    const t = parseMinutesSeconds(text);
    const first = Math.max(0, this.latest - HISTORY_SECONDS + 1);
    if (t === undefined || t < first || t > this.view.simTime) {
      this.showHint(t !== undefined && t > this.view.simTime ? HINTS[6] : HINTS[5], true);
      this.redraw();
      return;
    }
    this.view.cursorTime = t;
    this.cursorPinned = true;
    if (!cursorWithinPlot(this.view, this.cw(), t)) this.view.winStart = Math.max(0, t - (t % 60));
    this.redraw();
  }

  private showHint(text: string, beep: boolean): void {
    const hint = byId<HTMLOutputElement>('hint');
    hint.value = text;
    if (beep) hint.animate([{ background: '#ffe066' }, { background: '#fff' }], 600);
    clearTimeout(this.hintTimer);
    this.hintTimer = window.setTimeout(() => (hint.value = ''), 5000);
  }

  /** Runs a session call; a refusal shows its message on the hint line. */
  private attempt(call: () => void): boolean {
    try {
      call();
      return true;
    } catch (error) {
      if (!(error instanceof SessionError)) throw error;
      this.showHint(' ' + error.message, true);
      return false;
    }
  }

  private enableControls(): void {
    const ran = !this.view.creditsShown || this.view.simTime > 0;
    byId<HTMLButtonElement>('run').disabled = this.session.isDead();
    byId<HTMLButtonElement>('rerun').disabled = !ran;
    byId<HTMLButtonElement>('back').disabled = !ran;
    byId<HTMLButtonElement>('forward').disabled = !ran;
  }

  // ---- the panels ------------------------------------------------------------

  private buildRows(): void {
    const factorBox = byId<HTMLDivElement>('factor-rows');
    const displayBox = byId<HTMLDivElement>('display-rows');
    for (let row = 0; row < PANEL_ROWS; ++row) {
      const select = document.createElement('select');
      select.add(new Option('', '-1'));
      this.session.factors.forEach((f, i) => select.add(new Option(f.longName, String(i))));
      select.setAttribute('aria-label', `Subject factor row ${row + 1}`);
      const input = document.createElement('input');
      input.className = 'number';
      input.inputMode = 'decimal';
      input.setAttribute('aria-label', `Value of subject factor row ${row + 1}`);
      const unit = document.createElement('span');
      unit.className = 'unit';
      factorBox.append(select, input, unit);
      this.factorRows.push({ select, input, unit });
      select.addEventListener('change', () => {
        if (!this.attempt(() => this.session.choosePanelFactor(row, Number(select.value)))) this.showHint(HINTS[1], true);
        this.refreshPanels();
      });
      input.addEventListener('change', () => this.enterFactor(row));
      for (const control of [select, input]) control.addEventListener('focus', () => this.showLimits(row));
      input.addEventListener('keydown', (event) => {
        if (event.key === 'Enter') this.enterFactor(row);
      });

      const dselect = document.createElement('select');
      this.session.displays.forEach((d, i) => dselect.add(new Option(d.longName, String(i))));
      dselect.add(new Option(this.session.noDisplayName, String(this.session.displays.length)));
      dselect.style.color = TRACE_COLOURS[row];
      dselect.setAttribute('aria-label', `Display variable row ${row + 1}`);
      const value = document.createElement('output');
      value.className = 'value';
      value.style.color = TRACE_COLOURS[row];
      const dunit = document.createElement('span');
      dunit.className = 'unit';
      const reference = document.createElement('span');
      reference.className = 'reference';
      displayBox.append(dselect, value, dunit, reference);
      this.displayRows.push({ select: dselect, value, unit: dunit, reference });
      dselect.addEventListener('change', () => {
        this.attempt(() => this.session.choosePanelDisplay(row, Number(dselect.value)));
        this.refreshPanels();
        this.redraw();
      });
    }
  }

  /** A typed factor value: read as the window reads it, held to the limits, in force for the next RUN. */
  private enterFactor(row: number): void {
    const index = this.session.panelFactor(row);
    const input = this.factorRows[row].input;
    if (index < 0 || input.dataset.shown === input.value) return;
    const variable = this.session.factors[index];
    this.attempt(() => {
      if (this.view.kpa && variable.kpa) {
        const kpa = Math.min(Math.max(leadingNumber(input.value), variable.kpa.minimum), variable.kpa.maximum);
        this.session.setFactor(index, kpa / KPA_PER_MMHG);
        if (kpa !== leadingNumber(input.value)) this.showHint(HINTS[2], true);
      } else {
        this.session.enterFactorText(index, input.value);
        if (this.session.warnings()) this.showHint(HINTS[2], true);
      }
    });
    this.refreshPanels();
  }

  /** The limits of row's factor under the rows, in the unit shown. */
  private showLimits(row: number): void {
    const index = this.session.panelFactor(row);
    const variable = this.session.factors[index];
    const box = byId('factor-limits');
    if (!variable) {
      box.textContent = '';
      return;
    }
    const limits = this.view.kpa && variable.kpa ? variable.kpa : variable;
    // Single-precision limits, written with the digits they were given in.
    const text = (value: number) => String(Number(value.toPrecision(6)));
    box.textContent = `${variable.longName}: ${text(limits.minimum)} to ${text(limits.maximum)} ${limits.unit}`;
  }

  /** Takes a value still being typed into a field before a control acts (as RUN's click does). */
  private takeFocusedValue(): void {
    const focused = document.activeElement;
    const row = this.factorRows.findIndex((r) => r.input === focused);
    if (row >= 0) this.enterFactor(row);
  }

  private factorText(index: number): { value: string; unit: string } {
    const variable = this.session.factors[index];
    const value = this.session.factorValue(index);
    if (this.view.kpa && variable.kpa) return { value: fixed(value * KPA_PER_MMHG, 2), unit: variable.kpa.unit };
    return { value: fixed(value, 2), unit: variable.unit };
  }

  /** Rows, factor values, passport and respiration from the session. */
  refreshPanels(): void {
    this.factorRows.forEach((r, row) => {
      const index = this.session.panelFactor(row);
      r.select.value = String(index);
      if (index < 0) {
        r.input.value = '- - - - -';
        r.input.disabled = true;
        r.unit.textContent = '';
      } else {
        const text = this.factorText(index);
        r.input.disabled = false;
        r.input.value = text.value;
        r.unit.textContent = text.unit;
      }
      r.input.dataset.shown = r.input.value;
    });
    this.displayRows.forEach((r, row) => (r.select.value = String(this.session.panelDisplay(row))));
    const passport = this.session.passport();
    byId<HTMLInputElement>('height').value = fixed(passport.height, 1);
    byId<HTMLInputElement>('weight').value = fixed(passport.weight, 1);
    byId<HTMLInputElement>('age').value = fixed(passport.age, 1);
    byId<HTMLSelectElement>('sex').value = String(passport.sex);
    byId<HTMLOutputElement>('bmi').value = fixed(passport.weight / (passport.height / 100) ** 2, 1);
    this.refreshValues();
  }

  /** The display rows' values at the shown time, and the reference's beside them. */
  private refreshValues(): void {
    const t = this.shownTime();
    const stale = this.cursorPinned && this.view.cursorTime !== this.view.simTime;
    this.factorRows.forEach((r) => r.input.classList.toggle('stale', stale));
    this.displayRows.forEach((r, row) => {
      const index = this.session.panelDisplay(row);
      const variable = this.session.displays[index];
      if (!variable) {
        r.value.value = '';
        r.unit.textContent = '';
        r.reference.textContent = '';
        return;
      }
      const kpa = this.view.kpa && variable.kpa;
      const factor = kpa ? KPA_PER_MMHG : 1;
      r.value.value = fixed(this.session.displayAt(index, t) * factor, 2);
      r.unit.textContent = kpa ? kpa.unit : variable.unit;
      const kept = this.reference && t < this.reference.seconds ? this.reference.values[index][t] : undefined;
      r.reference.textContent = kept === undefined ? '' : fixed(kept * factor, 2);
    });
  }

  private refreshNotes(): void {
    const clinical = byId<HTMLTextAreaElement>('clinical');
    const text = this.session.notes().map((n) => `${minutesSeconds(n.time)} ${n.text}`).join('\n');
    if (clinical.value === text) return;
    clinical.value = text;
    clinical.scrollTop = clinical.scrollHeight;
  }

  private enterPassport(): void {
    const value = (id: string) => leadingNumber(byId<HTMLInputElement>(id).value);
    this.attempt(() =>
      this.session.setPassport({ height: value('height'), weight: value('weight'), age: value('age'), sex: Number(byId<HTMLSelectElement>('sex').value) }),
    );
    if (this.session.warnings()) this.showHint(HINTS[2], true);
    this.refreshPanels();
  }

  // ---- files, pictures, reference ---------------------------------------------

  private download(data: BlobPart, name: string, type: string): void {
    const url = URL.createObjectURL(new Blob([data], { type }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
  }

  private baseName(): string {
    return this.subjectName.replace(/\.sbj$/i, '');
  }

  private async load(file: File): Promise<void> {
    const bytes = new Uint8Array(await file.arrayBuffer());
    if (!this.attempt(() => this.session.loadSubject(bytes, file.name))) return;
    this.subjectName = file.name;
    byId('title').textContent = file.name;
    document.title = `Tolvane - ${file.name}`;
    const warnings = this.session.warnings();
    this.restartView();
    if (warnings) this.showHint(' ' + warnings.split('\n')[0], true);
  }

  private keepReference(): void {
    const seconds = this.view.simTime + 1;
    this.reference = {
      seconds,
      values: this.session.displays.map((_, i) => this.session.history(i, 0, seconds)),
    };
    byId<HTMLButtonElement>('clear-reference').disabled = false;
    this.redraw();
  }

  // ---- wiring -------------------------------------------------------------------

  private wire(): void {
    const click = (id: string, action: () => void) => byId(id).addEventListener('click', action);
    const run = byId<HTMLButtonElement>('run');
    run.textContent = `RUN (${RUN_KEY})`;
    run.title = `Run one simulated minute (${RUN_KEY})`;
    click('run', () => this.run());
    click('rerun', () => this.rerun());
    click('reset', () => this.reset());
    click('back', () => this.back());
    click('forward', () => this.forward());
    click('load', () => byId<HTMLInputElement>('file').click());
    byId<HTMLInputElement>('file').addEventListener('change', (event) => {
      const input = event.target as HTMLInputElement;
      const file = input.files?.[0];
      input.value = '';
      if (file) void this.load(file);
    });
    click('save', () => {
      this.takeFocusedValue();
      let bytes: Uint8Array<ArrayBuffer> | undefined;
      if (this.attempt(() => (bytes = this.session.saveSubject(this.subjectName))) && bytes)
        this.download(bytes, this.subjectName, 'application/octet-stream');
    });
    click('export-csv', () => this.download(this.session.csv(), `${this.baseName()}.csv`, 'text/csv'));
    click('export-svg', () => this.download(this.pictureSvg(), `${this.baseName()}.svg`, 'image/svg+xml'));
    click('export-png', () => void this.picturePng().then((blob) => this.download(blob, `${this.baseName()}.png`, 'image/png')));
    click('keep-reference', () => this.keepReference());
    click('clear-reference', () => {
      this.reference = null;
      byId<HTMLButtonElement>('clear-reference').disabled = true;
      this.redraw();
    });
    click('respiration', () => this.openRespiration());
    byId('respiration-dialog').addEventListener('close', () => this.closeRespiration());
    for (const radio of document.querySelectorAll<HTMLInputElement>('#respiration-dialog input[type=radio]'))
      radio.addEventListener('change', () => this.lockRespirationFields());
    for (const id of ['mmhg', 'kpa'])
      byId(id).addEventListener('change', () => {
        this.view.kpa = byId<HTMLInputElement>('kpa').checked;
        this.refreshPanels();
        this.redraw();
      });
    for (const id of ['height', 'weight', 'age', 'sex']) {
      byId(id).addEventListener('change', () => this.enterPassport());
      byId(id).addEventListener('keydown', (event) => {
        if ((event as KeyboardEvent).key === 'Enter') this.enterPassport();
      });
    }
    const cursor = byId<HTMLInputElement>('cursor');
    cursor.addEventListener('keydown', (event) => {
      if (event.key === 'Enter') this.enterCursorTime(cursor.value);
    });
    this.canvas.addEventListener('mousedown', (event) => {
      if (event.button !== 0) return;
      const box = this.canvas.getBoundingClientRect();
      // The plot pixel under the pointer (the canvas starts on a whole CSS pixel).
      this.placeCursor(Math.floor((event.clientX - box.left) / this.zoom), Math.floor((event.clientY - box.top) / this.zoom));
    });
    this.canvas.addEventListener('keydown', (event) => {
      if (event.key !== 'ArrowLeft' && event.key !== 'ArrowRight') return;
      event.preventDefault();
      this.moveCursor(event.key === 'ArrowLeft' ? -1 : 1, event.shiftKey);
    });
    document.addEventListener('keydown', (event) => {
      if (event.key === RUN_KEY && !event.ctrlKey && !event.altKey && !event.metaKey) {
        event.preventDefault();
        if (!byId<HTMLButtonElement>('run').disabled) this.run();
      } else if (event.altKey && (event.key === 'ArrowLeft' || event.key === 'ArrowRight')) {
        event.preventDefault();
        this.moveCursor(event.key === 'ArrowLeft' ? -1 : 1, event.shiftKey);
      }
    });
  }

  // ---- the respiration settings -----------------------------------------------

  private openRespiration(): void {
    const r = this.session.respiration();
    byId<HTMLInputElement>(r.natural ? 'natural' : 'artificial').checked = true;
    byId<HTMLInputElement>('rate').value = fixed(r.rate, 2);
    byId<HTMLInputElement>('tidal').value = fixed(r.tidal, 1);
    byId<HTMLInputElement>('peep').value = fixed(r.peep, 1);
    for (const radio of document.querySelectorAll<HTMLInputElement>('input[name=bag]')) radio.checked = Number(radio.value) === r.bag;
    byId<HTMLInputElement>('bag-volume').value = fixed(r.bagVolume, 1);
    byId<HTMLInputElement>('bag-co2').value = fixed(r.bagCo2, 1);
    byId<HTMLInputElement>('bag-o2').value = fixed(r.bagO2, 1);
    this.lockRespirationFields();
    byId<HTMLDialogElement>('respiration-dialog').showModal();
  }

  /** As the window's dialog: the ventilator's fields only for artificial ventilation, the bag's only with a bag. */
  private lockRespirationFields(): void {
    const natural = byId<HTMLInputElement>('natural').checked;
    for (const id of ['rate', 'tidal', 'peep']) byId<HTMLInputElement>(id).disabled = natural;
    const bag = Number(document.querySelector<HTMLInputElement>('input[name=bag]:checked')?.value ?? Bag.None);
    const open = bag === Bag.Collect || bag === Bag.Rebreathe || bag === Bag.RebreatheAbsorber;
    for (const id of ['bag-volume', 'bag-co2', 'bag-o2']) byId<HTMLInputElement>(id).disabled = !open;
  }

  /** OK: the settings take effect for the next RUN, as the window's dialog does. */
  private closeRespiration(): void {
    const dialog = byId<HTMLDialogElement>('respiration-dialog');
    if (dialog.returnValue !== 'ok') return;
    const number = (id: string) => leadingNumber(byId<HTMLInputElement>(id).value);
    const natural = byId<HTMLInputElement>('natural').checked;
    const bag = Number(document.querySelector<HTMLInputElement>('input[name=bag]:checked')?.value ?? Bag.None);
    const ok =
      this.attempt(() => this.session.setVentilation(natural, number('rate'), number('tidal'), number('peep'))) &&
      this.attempt(() => this.session.setBag(bag, number('bag-volume'), number('bag-co2'), number('bag-o2')));
    if (ok && this.session.warnings()) this.showHint(HINTS[2], true);
    this.refreshPanels();
  }
}

declare global {
  interface Window {
    tolvane?: { page: Page; session: Session; ready: number };
  }
}

void createTolvane().then((module) => {
  const session = new Session(module);
  // One simulated minute, then RESET, which starts the subject exactly as new:
  // the browser compiles the simulator's code on its first use, so this
  // takes that time here and not at the student's first RUN.
  session.runMinutes(1);
  session.reset();
  const page = new Page(session);
  window.tolvane = { page, session, ready: performance.now() };
  document.body.dataset.ready = 'true';
});
