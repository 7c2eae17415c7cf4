// SPDX-License-Identifier: Apache-2.0
// The page's door to the simulator: the C interface of tolvane/session.h as
// compiled to WebAssembly, wrapped in a class that speaks JavaScript values.
// Pressures are in mm Hg here as in the C interface; kPa is the panels' and
// the plot's business.

/** What the emscripten module offers: the exported C functions and its memory helpers. */
export interface TolvaneModule {
  _malloc(size: number): number;
  _free(pointer: number): void;
  UTF8ToString(pointer: number): string;
  stringToUTF8(text: string, pointer: number, maxBytes: number): void;
  lengthBytesUTF8(text: string): number;
  getValue(pointer: number, type: string): number;
  HEAPU8: Uint8Array;
  HEAPF64: Float64Array;
  [name: `_tolvane_${string}`]: (...args: number[]) => number;
}

export const OK = 0;
export const ERR_DIED = 9;
export const ERR_STEP = 10;
export const HISTORY_SECONDS = 1800;
export const PANEL_ROWS = 8;
export const KPA_PER_MMHG = 0.1332;

/** Bag states as the respiration settings choose them. */
export const enum Bag {
  GlottisClosed = 9,
  None = 10,
  Collect = 11,
  Rebreathe = 12,
  RebreatheAbsorber = 13,
}

/** One factor or display variable of the catalogue. */
export interface Variable {
  shortName: string;
  longName: string;
  unit: string;
  minimum: number;
  maximum: number;
  /** Unit and limits when the variable is a pressure that may be shown in kPa. */
  kpa?: { unit: string; minimum: number; maximum: number };
}

export interface Respiration {
  natural: boolean;
  rate: number;
  tidal: number;
  peep: number;
  bag: number;
  bagVolume: number;
  bagCo2: number;
  bagO2: number;
}

export interface Passport {
  height: number;
  weight: number;
  age: number;
  sex: number;
}

export interface Note {
  time: number;
  text: string;
}

/** A call the simulator refused, with its result code and message. */
export class SessionError extends Error {
  constructor(
    readonly code: number,
    message: string,
  ) {
    super(message);
  }
}

/** How a RUN ended: the result code (OK, ERR_DIED, ERR_STEP), seconds run and the message. */
export interface RunOutcome {
  result: number;
  seconds: number;
  message: string;
}

/** Scratch memory in the module for out-parameters, freed when done. */
class Scratch {
  readonly pointer: number;
  constructor(
    private readonly m: TolvaneModule,
    bytes: number,
  ) {
    this.pointer = m._malloc(bytes);
  }
  double(slot: number): number {
    return this.m.getValue(this.pointer + 8 * slot, 'double');
  }
  int(slot: number): number {
    return this.m.getValue(this.pointer + 8 * slot, 'i32');
  }
  at(slot: number): number {
    return this.pointer + 8 * slot;
  }
  free(): void {
    this.m._free(this.pointer);
  }
}

export class Session {
  readonly factors: Variable[];
  readonly displays: Variable[];
  readonly noDisplayName: string;
  readonly modelVersion: string;
  private readonly handle: number;

  constructor(private readonly m: TolvaneModule) {
    const out = new Scratch(m, 8);
    try {
      this.check(m._tolvane_create(out.pointer), 'create');
      this.handle = out.int(0);
    } finally {
      out.free();
    }
    this.factors = this.catalogue('factor', m._tolvane_factor_count());
    this.displays = this.catalogue('display', m._tolvane_display_count());
    this.noDisplayName = m.UTF8ToString(m._tolvane_no_display_name());
    this.modelVersion = m.UTF8ToString(m._tolvane_model_version());
  }

  /** What the last call adjusted (values held to their limits), one item a line; "" when nothing. */
  warnings(): string {
    return this.m.UTF8ToString(this.m._tolvane_warnings(this.handle));
  }

  reset(): void {
    this.check(this.m._tolvane_reset(this.handle));
  }

  /** Load: a subject file's bytes; name stands for the file in messages. */
  loadSubject(bytes: Uint8Array, name: string): void {
    const data = this.m._malloc(Math.max(bytes.length, 1));
    this.m.HEAPU8.set(bytes, data);
    try {
      this.withText(name, (text) => this.check(this.m._tolvane_load_subject_buffer(this.handle, data, bytes.length, text)));
    } finally {
      this.m._free(data);
    }
  }

  /** Save: the subject file's bytes, with name in its header line. */
  saveSubject(name: string): Uint8Array<ArrayBuffer> {
    return this.buffer((data, size) =>
      this.withText(name, (text) => this.m._tolvane_save_subject_buffer(this.handle, text, data, size)),
    );
  }

  /** The run as tolvane-batch --csv writes it; digits as its --digits (0: its default). */
  csv(digits = 0): Uint8Array<ArrayBuffer> {
    return this.buffer((data, size) => this.m._tolvane_csv_buffer(this.handle, digits, data, size));
  }

  /** Runs a scenario script from the current moment; throws what the script refused. */
  runScript(text: string): void {
    this.withText(text, (pointer) => this.check(this.m._tolvane_run_script(this.handle, pointer, 0)));
  }

  time(): { now: number; latest: number } {
    const out = new Scratch(this.m, 16);
    try {
      this.check(this.m._tolvane_get_time(this.handle, out.at(0), out.at(1)));
      return { now: out.int(0), latest: out.int(1) };
    } finally {
      out.free();
    }
  }

  /** RUN count times: each to the next whole minute. A death or a failed step ends it early. */
  runMinutes(count: number): RunOutcome {
    const out = new Scratch(this.m, 8);
    try {
      const result = this.m._tolvane_run_minutes(this.handle, count, out.at(0));
      if (result !== OK && result !== ERR_DIED && result !== ERR_STEP) this.check(result);
      return { result, seconds: out.int(0), message: result === OK ? '' : this.errmsg() };
    } finally {
      out.free();
    }
  }

  isDead(): boolean {
    return this.m._tolvane_is_dead(this.handle) !== 0;
  }

  /** RE-RUN from second t (within the history). */
  rerun(t: number): void {
    this.check(this.m._tolvane_rerun(this.handle, t));
  }

  /** Display variable i at second t (mm Hg for pressures). */
  displayAt(i: number, t: number): number {
    return this.outDouble((out) => this.m._tolvane_get_display_at(this.handle, i, t, out));
  }

  /** Display variable i at seconds first .. first + count - 1. */
  history(i: number, first: number, count: number): Float64Array {
    const bytes = 8 * Math.max(count, 1);
    const data = this.m._malloc(bytes);
    try {
      this.check(this.m._tolvane_copy_display_history(this.handle, i, first, count, data));
      return new Float64Array(this.m.HEAPF64.buffer, data, count).slice();
    } finally {
      this.m._free(data);
    }
  }

  factorValue(i: number): number {
    return this.outDouble((out) => this.m._tolvane_get_factor(this.handle, i, out));
  }

  /** Sets factor i (mm Hg for pressures), held to its limits; returns the value taken. */
  setFactor(i: number, value: number): number {
    return this.outDouble((out) => this.m._tolvane_set_factor(this.handle, i, value, out));
  }

  /** Enters text typed into factor i's field as the window does; returns the value taken. */
  enterFactorText(i: number, text: string): number {
    return this.outDouble((out) =>
      this.withText(text, (pointer) => this.m._tolvane_enter_factor_text(this.handle, i, pointer, out)),
    );
  }

  panelFactor(row: number): number {
    return this.outInt((p) => this.m._tolvane_get_panel_factor(this.handle, row, p));
  }

  panelDisplay(row: number): number {
    return this.outInt((p) => this.m._tolvane_get_panel_display(this.handle, row, p));
  }

  /** Chooses row's factor (-1 empties it); a factor another row shows is refused. */
  choosePanelFactor(row: number, index: number): void {
    this.check(this.m._tolvane_choose_panel_factor(this.handle, row, index));
  }

  choosePanelDisplay(row: number, index: number): void {
    this.check(this.m._tolvane_choose_panel_display(this.handle, row, index));
  }

  passport(): Passport {
    const out = new Scratch(this.m, 32);
    try {
      this.check(this.m._tolvane_get_passport(this.handle, out.at(0), out.at(1), out.at(2), out.at(3)));
      return { height: out.double(0), weight: out.double(1), age: out.double(2), sex: out.int(3) };
    } finally {
      out.free();
    }
  }

  setPassport(p: Passport): void {
    this.check(this.m._tolvane_set_passport(this.handle, p.height, p.weight, p.age, p.sex));
  }

  respiration(): Respiration {
    const out = new Scratch(this.m, 64);
    try {
      this.check(
        this.m._tolvane_get_respiration(
          this.handle, out.at(0), out.at(1), out.at(2), out.at(3), out.at(4), out.at(5), out.at(6), out.at(7),
        ),
      );
      return {
        natural: out.int(0) !== 0,
        rate: out.double(1),
        tidal: out.double(2),
        peep: out.double(3),
        bag: out.int(4),
        bagVolume: out.double(5),
        bagCo2: out.double(6),
        bagO2: out.double(7),
      };
    } finally {
      out.free();
    }
  }

  setVentilation(natural: boolean, rate: number, tidal: number, peep: number): void {
    this.check(this.m._tolvane_set_ventilation(this.handle, natural ? 1 : 0, rate, tidal, peep));
  }

  setBag(state: number, volume: number, co2: number, o2: number): void {
    this.check(this.m._tolvane_set_bag(this.handle, state, volume, co2, o2));
  }

  notes(): Note[] {
    const count = this.m._tolvane_note_count(this.handle);
    const notes: Note[] = [];
    const out = new Scratch(this.m, 16);
    try {
      for (let k = 0; k < count; ++k) {
        this.check(this.m._tolvane_get_note(this.handle, k, out.at(0), out.at(1)));
        notes.push({ time: out.int(0), text: this.m.UTF8ToString(out.int(1)) });
      }
    } finally {
      out.free();
    }
    return notes;
  }

  private errmsg(): string {
    return this.m.UTF8ToString(this.m._tolvane_errmsg(this.handle));
  }

  private check(result: number, what?: string): void {
    if (result === OK) return;
    const message = what === 'create' ? 'the simulator could not start' : this.errmsg();
    throw new SessionError(result, message);
  }

  /** Calls call with room for a double, checks its result and returns the double. */
  private outDouble(call: (pointer: number) => number): number {
    const out = new Scratch(this.m, 8);
    try {
      this.check(call(out.at(0)));
      return out.double(0);
    } finally {
      out.free();
    }
  }

  private outInt(call: (pointer: number) => number): number {
    const out = new Scratch(this.m, 8);
    try {
      this.check(call(out.at(0)));
      return out.int(0);
    } finally {
      out.free();
    }
  }

  private withText<T>(text: string, use: (pointer: number) => T): T {
    const size = this.m.lengthBytesUTF8(text) + 1;
    const pointer = this.m._malloc(size);
    this.m.stringToUTF8(text, pointer, size);
    try {
      return use(pointer);
    } finally {
      this.m._free(pointer);
    }
  }

  /** A buffer the library hands out through char** and size_t*, copied out and freed. */
  private buffer(call: (data: number, size: number) => number): Uint8Array<ArrayBuffer> {
    const out = new Scratch(this.m, 16);
    try {
      this.check(call(out.at(0), out.at(1)));
      const data = out.int(0);
      const size = out.int(1);
      const bytes = this.m.HEAPU8.slice(data, data + size);
      this.m._tolvane_free(data);
      return bytes;
    } finally {
      out.free();
    }
  }

  private catalogue(kind: 'factor' | 'display', count: number): Variable[] {
    const m = this.m;
    const list: Variable[] = [];
    const out = new Scratch(m, 24);
    try {
      for (let i = 0; i < count; ++i) {
        m[`_tolvane_${kind}_limits`](i, out.at(0), out.at(1));
        const variable: Variable = {
          shortName: m.UTF8ToString(m[`_tolvane_${kind}_short_name`](i)),
          longName: m.UTF8ToString(m[`_tolvane_${kind}_long_name`](i)),
          unit: m.UTF8ToString(m[`_tolvane_${kind}_unit`](i)),
          minimum: out.double(0),
          maximum: out.double(1),
        };
        if (m[`_tolvane_${kind}_kpa_limits`](i, out.at(2), out.at(0), out.at(1)) === OK)
          variable.kpa = { unit: m.UTF8ToString(out.int(2)), minimum: out.double(0), maximum: out.double(1) };
        list.push(variable);
      }
    } finally {
      out.free();
    }
    return list;
  }
}
