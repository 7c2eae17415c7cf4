// SPDX-License-Identifier: Apache-2.0
// tolvane-batch --script FILE: a scenario script instead of --minutes.
#ifndef TOLVANE_BATCH_SCRIPT_H
#define TOLVANE_BATCH_SCRIPT_H

#include "batch_options.h"

#include <cstdio>

class simulator;

// Parses the script named by options.script_path (nothing runs when it has an
// error), runs it on sim, prints one line per action to out and the adjusted
// values as warnings to err, and writes options.csv_path from the run as it
// stands at the end (after a re-run, the seconds of the new branch). Returns
// a batch_exit status: 0 done (also after a death), 1 the CSV could not be
// written, 2 a script error or an action that could not be carried out,
// 3 the model step failed.
int run_batch_script(simulator& sim, const batch_options& options, std::FILE* out, std::FILE* err);

#endif
