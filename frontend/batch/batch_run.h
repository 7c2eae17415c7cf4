// What tolvane-batch does once its command line is parsed: load, set, run
// minute by minute with the CSV written as each minute completes, save.
#ifndef TOLVANE_BATCH_RUN_H
#define TOLVANE_BATCH_RUN_H

#include "batch_options.h"

#include <cstdio>

class simulator;

// Exit statuses.
enum batch_exit : int {
    batch_ok = 0,           // done, also after a death
    batch_file_error = 1,   // a file could not be read, was invalid or could not be written
    batch_bad_arguments = 2,
    batch_step_failed = 3,  // model() reported a failure; output up to it was written
};

// Appends the history to a CSV file as the run goes on.
class csv_history_writer {
public:
    // Opens path for writing (truncating it); check ok().
    explicit csv_history_writer(const QString& path);
    ~csv_history_writer();
    csv_history_writer(const csv_history_writer&) = delete;
    csv_history_writer& operator=(const csv_history_writer&) = delete;

    bool ok() const { return file_ != nullptr && !failed_; }
    // Writes the header and the row of second 0.
    void begin(const simulator& sim);
    // Writes the rows after the last one written up to second last.
    void write_up_to(const simulator& sim, int last);
    // Flushes and closes; false when anything failed.
    bool finish();

private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    int written_ = -1;
};

// Runs the whole batch on sim (already started); messages go to out and err.
int run_batch(simulator& sim, const batch_options& options, std::FILE* out, std::FILE* err);

#endif
