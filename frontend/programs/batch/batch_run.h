// SPDX-License-Identifier: Apache-2.0
// What tolvane-batch does once its command line is parsed: load, set, run
// minute by minute with the CSV written as each minute completes, save.
#ifndef TOLVANE_BATCH_RUN_H
#define TOLVANE_BATCH_RUN_H

#include "batch_options.h"
#include "safe_file.h"

#include <cstdio>

class simulator;

// Exit statuses.
enum batch_exit : int {
    batch_ok = 0,          // done, also after a death
    batch_file_error = 1,  // a file could not be read, was invalid or could not be written
    batch_bad_arguments = 2,
    batch_step_failed = 3,  // model() reported a failure; output up to it was written
};

// The state of a CSV file written through file: ok while it is open and all
// written, else cannot_open with the message "cannot write the CSV file
// PATH: REASON".
save_result csv_file_opened(const safe_file_writer& file);
// Completes the CSV file written through file; on failure write_failed, in
// the words above.
save_result commit_csv_file(safe_file_writer& file);

// Appends the history to a CSV file as the run goes on. The rows go to a
// temporary file beside the target, which replaces the target only when
// finish() finds everything written: a failed run or write leaves an
// existing file untouched.
class csv_history_writer {
public:
    // Creates the temporary file; check opened(). Numbers get digits
    // significant digits (format_csv_number).
    csv_history_writer(const QString& path, int digits);

    // As csv_file_opened.
    save_result opened() const { return csv_file_opened(file_); }
    // Writes the header and the row of second 0.
    void begin(const simulator& sim);
    // Writes the rows after the last one written up to second last.
    void write_up_to(const simulator& sim, int last);
    // Completes the file, as commit_csv_file.
    save_result finish() { return commit_csv_file(file_); }

private:
    safe_file_writer file_;
    int digits_;
    int written_ = -1;
};

// Runs the whole batch on sim (already started); messages go to out and err.
int run_batch(simulator& sim, const batch_options& options, std::FILE* out, std::FILE* err);

#endif
