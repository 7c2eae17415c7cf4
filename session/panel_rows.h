// SPDX-License-Identifier: Apache-2.0
// The eight factor rows and eight display rows of the window's panels as a
// subject file saves them, and the entry of a value into a catalogue record
// as a panel field enters it.
#ifndef TOLVANE_PANEL_ROWS_H
#define TOLVANE_PANEL_ROWS_H

#include "tolvane_model.h"

#include <array>

inline constexpr int panel_rows = 8;

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

// A number entered into a catalogue record.
struct clamped_entry {
    float stored = 0.0f;    // the value the record now holds
    bool adjusted = false;  // true when the number lay outside the limits
};

// Clamps typed to the record's maximum, then its minimum, and stores it as
// the record's value.
clamped_entry enter_number(catalogue_record& record, float typed);

// The passport's three number fields.
enum class passport_field { height, weight, age };

// The live model's record behind a passport field.
catalogue_record& passport_record(passport_field field);

#endif
