// SPDX-License-Identifier: Apache-2.0
// Where each control of the main window sits as laid out: panels in the
// client area, controls in their panel. The one table that build_controls
// places the controls by and the layout test checks them against.
#ifndef TOLVANE_MAIN_WINDOW_LAYOUT_H
#define TOLVANE_MAIN_WINDOW_LAYOUT_H

#include <array>
#include <string_view>

// A control's place in its parent. Width and height 0: a caption sized to its
// text, of which only the position is laid out. Buttons are 50 x 25, fields
// and lists 21 pixels tall.
struct control_place {
    std::string_view name;
    int left = 0, top = 0, width = 0, height = 0;
};

// Names are the controls' own; "row_" entries are the first factor and
// display row (row i lies row_pitch * i lower); "passport caption X" are the
// passport's unnamed captions with text X.
inline constexpr std::array main_window_layout = {
    control_place{"tolvane_I", 288, 128, 350, 190},
    control_place{"message_P", 2, 384, 1012, 32},
    control_place{"hint_L", 8, 8},
    control_place{"hint_M", 35, 6, 266, 21},
    control_place{"clinical_L", 316, 8},
    control_place{"clinical_M", 358, 6, 648, 21},
    control_place{"control_P", 2, 419, 112, 94},
    control_place{"control_L", 8, 8},
    control_place{"run_B", 58, 6, 50, 25},
    control_place{"rerun_B", 4, 34, 50, 25},
    control_place{"reset_B", 58, 34, 50, 25},
    control_place{"back_B", 4, 62, 50, 25},
    control_place{"forward_B", 58, 62, 50, 25},
    control_place{"passport_P", 2, 513, 112, 176},
    control_place{"passport_L", 8, 6},
    control_place{"height_E", 42, 32, 40, 21},
    control_place{"weight_E", 42, 61, 40, 21},
    control_place{"bmi_E", 42, 90, 40, 21},
    control_place{"age_E", 42, 119, 40, 21},
    control_place{"sex_CB", 42, 148, 60, 21},
    control_place{"passport caption height", 6, 34},
    control_place{"passport caption weight", 6, 63},
    control_place{"passport caption BMI", 12, 92},
    control_place{"passport caption age", 12, 121},
    control_place{"passport caption sex", 12, 150},
    control_place{"passport caption cm", 86, 34},
    control_place{"passport caption kg", 86, 63},
    control_place{"passport caption year", 86, 121},
    control_place{"factor_P", 117, 419, 447, 273},
    control_place{"factor_L", 8, 8},
    control_place{"press_L", 128, 8},
    control_place{"trad_RB", 200, 8},
    control_place{"metric_RB", 264, 8},
    control_place{"display_P", 567, 419, 447, 273},
    control_place{"display_L", 8, 8},
    control_place{"time_L", 140, 10},
    control_place{"time_E", 220, 8, 35, 21},
    control_place{"row_dsn_CB", 8, 33, 275, 21},
    control_place{"row_vlu_E", 287, 33, 40, 21},
    control_place{"row_unit_L", 330, 35},
};

// Vertical distance between two rows of the factor and display panels.
inline constexpr int row_pitch = 30;

// The place of the named control; a name not in the table does not compile.
consteval control_place place_of(std::string_view name)
{
    for (const control_place& place : main_window_layout)
        if (place.name == name) return place;
    throw "no such control in main_window_layout";
}

#endif
