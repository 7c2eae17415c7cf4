// SPDX-License-Identifier: Apache-2.0
// The factor, display and passport panels without their widgets: the row
// selections, the entry of typed values, the texts and colours the rows show,
// and the switch of pressure units.
#ifndef TOLVANE_PANEL_LOGIC_H
#define TOLVANE_PANEL_LOGIC_H

#include "run_state.h"
#include "tolvane_model.h"
#include "ui_port.h"

#include <QColor>
#include <QString>
#include <array>

inline constexpr int panel_rows = 8;

// What an empty factor row's value field shows.
inline constexpr const char* empty_factor_text = " - - - - -";

// Catalogue index shown in each row of the two panels. factor_sel holds -1
// (empty row) or a factor index, never twice the same; display_sel holds a
// display index (rows may repeat one).
struct panel_selection {
    std::array<int, panel_rows> factor_sel{};
    std::array<int, panel_rows> display_sel{};
};

// The start-up selections: inspired O2 and CO2, body temperature, 2,3-DPG and
// work rate over three empty factor rows; arterial PO2 and PCO2, respiratory
// rate, tissue O2 content, metabolic rate, heart rate and twice venous pH.
panel_selection initial_selection();

// True for -1 or a factor index 0..num_fct-1.
bool valid_factor_selection(int index);
// True for a display index 0..num_dsy-1 (the last is "No display").
bool valid_display_selection(int index);

// Duplicate rule for factor row `row` choosing `index` (-1 allowed): when
// another row already holds it, the row becomes empty and false is returned;
// otherwise the row takes it. An invalid index empties the row and returns false.
bool choose_factor(panel_selection& selection, int row, int index);

// Converts text like the C library's atof in the "C" locale (leading blanks
// skipped, longest decimal prefix, 0 when there is none; no hex, inf or nan),
// rounded to single precision; a magnitude beyond float gives +-FLT_MAX.
float atof_value(const QString& text);

// Result of entering a typed value into a catalogue record.
struct entered_value {
    float stored = 0.0f;    // the clamped value now held by the record
    bool adjusted = false;  // true when the typed value lay outside the limits
    QString text;           // the field's new text: format applied to stored
};

// Parses text (atof_value), clamps it to the record's maximum then minimum,
// stores it as the record's value and formats it with format ("%.2f", "%.1f").
// Shows no hint itself: callers raise hint 2 when adjusted.
entered_value enter_value(catalogue_record& record, const QString& text, const char* format);

// Body mass index text "%.1f" of 10000 x weight / (height x height), in single
// precision, from the model's passport records.
QString bmi_text();

// The passport fields as the model holds them now ("%.1f" texts, sex index).
passport_texts current_passport_texts();

// One factor row as the panel shows it.
struct factor_row_view {
    int selected = -1;    // combo item, -1 for no selection
    QString value_text;   // "%.2f" of the current value, or " - - - - -"
    QColor value_colour;  // black at the current time, silver (192,192,192) otherwise
    QString unit;         // the factor's unit, empty for an empty row
};

// One display row as the panel shows it; its colour is the row's trace colour.
struct display_row_view {
    int selected = -1;   // combo item
    QString value_text;  // "%.2f" of the recorded value at the panel time
    QString unit;        // the variable's unit in the units in force
};

// Everything the three panels show for one panel time.
struct panel_view {
    std::array<factor_row_view, panel_rows> factors;
    std::array<display_row_view, panel_rows> displays;
    QString time_text;  // "%02d:%02d" of the panel time
};

// What a factor row shows for the current value of factor index: "%.2f".
QString factor_value_text(int index);

// The rows' texts and colours for time t (refresh_panels without widgets).
panel_view refresh_panels(const run_state& state, const panel_selection& selection, int t);

// Exchanges unit text (which text each record refers to), minimum and maximum
// of every record listed in a_f_lst and a_d_lst with its alternative record,
// and multiplies listed factor values by 0.1332 (towards kPa) or
// 7.507507507507507 (towards mm Hg), rounded to single precision.
void swap_pressure_units(bool towards_kpa);

// Multiplies the value of every factor listed in a_f_lst by k (single precision).
void scale_listed_factor_values(double k);

// True while the listed factors hold the kPa records, i.e. after
// swap_pressure_units(true) until swap_pressure_units(false). For model calls
// that read the barometric pressure outside a run step (bager(2) from the
// respiration dialog), which know nothing of run_state.
bool listed_factors_in_kpa();

// The value of factor index in model units (mm Hg for listed pressures),
// whatever units are shown.
float factor_value_in_model_units(int index, bool si_pressure);

// While alive, the listed pressure factors hold their value in mm Hg, so that
// constant() derives the run's coefficients from model units; the shown (kPa)
// values come back bit for bit at the end of the scope. Does nothing when
// si_pressure is false.
class model_units_scope {
public:
    explicit model_units_scope(bool si_pressure);
    ~model_units_scope();
    model_units_scope(const model_units_scope&) = delete;
    model_units_scope& operator=(const model_units_scope&) = delete;

private:
    bool active_;
    std::array<float, TOLVANE_NUM_FACTORS> shown_{};      // values as shown
    std::array<float, TOLVANE_NUM_FACTORS> converted_{};  // values handed to the model
};

#endif
