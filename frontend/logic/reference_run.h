// SPDX-License-Identifier: Apache-2.0
// A run kept for comparison ("Keep as reference"): a copy of every second of
// every display variable of the run log and the subject's name. The plot,
// the display panel and the report show it beside the live run until it is
// cleared; it outlives RE-RUN, RESET and Load.
#ifndef TOLVANE_REFERENCE_RUN_H
#define TOLVANE_REFERENCE_RUN_H

#include <QString>

#include <vector>

#include "run_session.h"
#include "run_state.h"

struct reference_run {
    QString subject_name;        // empty for the standard subject
    int seconds = 0;             // seconds held: 0 .. seconds - 1
    std::vector<float> samples;  // seconds x logged_displays, model units

    // True when second t is held.
    bool holds(int t) const { return t >= 0 && t < seconds; }
    // Display d at second t in the units state shows (listed pressures in kPa
    // while kPa is shown), as history_value gives live values; 0 when not held.
    double value(const run_state& state, int d, int t) const;
};

// A copy of the session's whole log under the subject's name.
reference_run reference_from(const run_session& session, const QString& subject_name);

// The name the header line and the guide show: the file name of the subject,
// or "standard subject".
QString reference_title(const reference_run& reference);

#endif
