// SPDX-License-Identifier: Apache-2.0
// Where the report's input comes from: the simulator's state, the model's
// catalogue and passport, and the clinical memo's text. The main window's
// print command and tolvane-batch both fill the report through this.
#ifndef TOLVANE_REPORT_SOURCE_H
#define TOLVANE_REPORT_SOURCE_H

#include <QString>

#include "report.h"

class simulator;

// The report of the simulator's current state: its run_state times (a copy:
// the input stays valid after the simulator moves on), row selections and
// subject name, the model's live catalogue in the units in force, the
// passport, history values through history_value, the given clinical notes
// and date text (the title's date, e.g. subject_date_time_now()).
report_input report_input_from(const simulator& sim, const QString& clinical_notes, const QString& date_text);

#endif
