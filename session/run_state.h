// SPDX-License-Identifier: Apache-2.0
// The simulated clock, the plot window and the cursor of the one subject, and
// the recorded history as the plot, the panels and the report read it.
#ifndef TOLVANE_RUN_STATE_H
#define TOLVANE_RUN_STATE_H

#include "model_host.h"

#include <array>
#include <cstdint>

// One instance per session; all fields start at zero or false. Times are whole simulated seconds since the
// last restart.
struct run_state {
    int32_t sim_time = 0;        // current time; one model call advances it by 1
    int32_t cursor_time = 0;     // time at the plot cursor
    int32_t win_start = 0;       // time at the plot's left edge, never below 0
    int32_t grid_span = 0;       // plot offset of the last labelled minute line (multiple of 60)
    int32_t latest_time = 0;     // largest sim_time since the restart; RE-RUN keeps it
    bool cursor_pinned = false;  // user placed the cursor; panels show cursor_time
    bool credits_shown = false;  // after a restart until the first step or unit switch
    bool si_pressure = false;    // pressures shown in kPa
    // The table the seconds are recorded into; null: the model's exported one.
    const history_table* history = nullptr;
};

// Display variables a second of the run's log holds: every one but "No display".
inline constexpr int logged_displays = 64;

// Width of the main window's client area as laid out: the outer width 1022
// fixed by its limits, less the 8 pixels of its border.
inline constexpr int design_client_width = 1014;

// Returns the history column of second t: t modulo 1800 in 0..1799, also for
// negative t.
int history_slot(int t);

// Returns the stored sample (model units) of history row and column of
// state's table; 0 for a row or column outside the table.
float recorded_sample(const run_state& state, int row, int column);

// Returns the stored sample of history row and column of state's table, multiplied by 0.1332
// (double) when si_pressure is set and row is a display variable listed in
// a_d_lst; returns 0 for a row or column outside the table.
double history_value(const run_state& state, int row, int column);

// Offset of the last labelled minute line for a client width: the largest
// multiple of 60 below client_width - 321 (0 for narrow widths).
int grid_span_for_width(int client_width);

// Last plotted time of a redraw: 0 while the credits are shown, otherwise
// win_start + min(sim_time - win_start, client_width - 320), or win_start
// when sim_time <= win_start.
int last_plotted_time(const run_state& state, int client_width);

// The state side of a full redraw of the trend plot: sets grid_span, moves an
// unpinned cursor to the last plotted time, and returns the time the panels
// show (cursor_time when pinned, else sim_time). Idempotent: painting may
// apply it again after the controller did.
int prepare_redraw(run_state& state, int client_width = design_client_width);

// Hint codes of the hint line.
enum hint_code : int {
    hint_none = 0,
    hint_duplicate_factor = 1,
    hint_value_adjusted = 2,
    hint_click_within_plot = 3,
    hint_negative_time = 4,
    hint_history_capacity = 5,
    hint_future_time = 6,
};

// The hint line's texts by code; every text but code 0 begins with one space.
inline constexpr std::array<const char*, 7> hint_texts = {
    "",
    " duplicate subject factor, not accepted",
    " entered value was outside limits, it has been adjusted",
    " click within time spanned by the plot",
    " cannot display negative time values",
    " cannot back further as history capacity is limited",
    " cannot display events that have not yet occurred",
};

#endif
