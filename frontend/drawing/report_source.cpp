// SPDX-License-Identifier: Apache-2.0
// The report's input from the live simulator and model state.
#include "report_source.h"

#include "catalogue_view.h"
#include "run_state.h"
#include "simulator.h"

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
    input.factors = factor_records().data();
    input.factor_count = static_cast<int>(factor_records().size());
    input.displays = display_records().data();
    input.display_count = static_cast<int>(display_records().size());
    const passport_records passport = live_passport();
    input.height = passport.height;
    input.weight = passport.weight;
    input.age = passport.age;
    input.sex = passport.sex;
    return input;
}
