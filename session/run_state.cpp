// SPDX-License-Identifier: Apache-2.0
#include "run_state.h"

#include "model_host.h"
#include "pressure_mode.h"

#include <algorithm>

int history_slot(int t) { return model_host::history_slot(t); }

float recorded_sample(const run_state& state, int row, int column)
{
    if (row < 0 || row >= history_table_rows || column < 0 || column >= history_table_columns) return 0;
    return state.history != nullptr ? (*state.history)[row][column] : model_host::history_sample(row, column);
}

double history_value(const run_state& state, int row, int column)
{
    const double sample = recorded_sample(state, row, column);
    if (state.si_pressure && row < model_host::display_count() && model_host::pressure_display(row))
        return mmhg_to_kpa(sample);
    return sample;
}

int grid_span_for_width(int client_width)
{
    int span = 0;
    for (int offset = 0; offset < client_width - 321; offset += 15)
        if (offset % 60 == 0) span = offset;
    return span;
}

int last_plotted_time(const run_state& state, int client_width)
{
    if (state.credits_shown) return 0;
    const int spanned = state.sim_time - state.win_start;
    if (spanned <= 0) return state.win_start;
    return state.win_start + std::min(spanned, std::max(client_width - 320, 0));
}

int prepare_redraw(run_state& state, int client_width)
{
    state.grid_span = grid_span_for_width(client_width);
    const int last = last_plotted_time(state, client_width);
    if (state.cursor_pinned) return state.cursor_time;
    state.cursor_time = last;
    return state.sim_time;
}
