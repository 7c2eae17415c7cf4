// SPDX-License-Identifier: Apache-2.0
// The factor, display and passport panels without their widgets: the row
// selections, the entry of typed values, the texts and colours the rows show,
// and the switch of pressure units.
#ifndef TOLVANE_PANEL_LOGIC_H
#define TOLVANE_PANEL_LOGIC_H

#include "number_text.h"
#include "panel_rows.h"
#include "pressure_mode.h"
#include "run_state.h"
#include "ui_port.h"

#include <QColor>
#include <QString>
#include <array>

// What an empty factor row's value field shows.
inline constexpr const char* empty_factor_text = " - - - - -";

// atof_value of a field's text (number_text.h).
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

// What a field shows after an entry: format applied to the value stored.
entered_value entered_text(const clamped_entry& entry, const char* format);

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

#endif
