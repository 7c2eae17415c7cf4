// SPDX-License-Identifier: Apache-2.0
// The report's input from the live simulator and model state.
#include "report_source.h"

#include "run_state.h"
#include "simulator.h"
#include "tolvane_model.h"

report_input report_input_from(const simulator& sim, const QString& clinical_notes, const QString& date_text)
{
    const run_state state = sim.state();
    report_input input;
    input.subject_name = sim.subject_name();
    input.date_text = date_text;
    input.sim_time = state.sim_time;
    input.cursor_time = state.cursor_time;
    input.win_start = state.win_start;
    input.factor_rows = sim.selection().factor_sel;
    input.display_rows = sim.selection().display_sel;
    input.clinical_notes = clinical_notes;
    input.display_value = [state](int d, int t) { return history_value(state, d, history_slot(t)); };
    input.factors = factor;
    input.factor_count = num_fct;
    input.displays = display;
    input.display_count = num_dsy;
    input.height = height;
    input.weight = weight;
    input.age = age;
    input.sex = sex;
    return input;
}
