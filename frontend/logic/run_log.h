// SPDX-License-Identifier: Apache-2.0
// The whole run since the subject's start, every second of it: what
// "Export data ..." writes and what "Keep as reference" copies. The model's
// history holds only the last 30 minutes; this log follows the run state
// after every operation and keeps the rest.
#ifndef TOLVANE_RUN_LOG_H
#define TOLVANE_RUN_LOG_H

#include <QByteArray>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

#include "run_state.h"

class QTemporaryFile;

class run_log {
public:
    // CSV text beyond memory_limit bytes goes to a temporary file.
    static constexpr qint64 default_memory_limit = 8 * 1024 * 1024;
    explicit run_log(qint64 memory_limit = default_memory_limit);
    ~run_log();
    run_log(const run_log&) = delete;
    run_log& operator=(const run_log&) = delete;

    // Brings the log in line with the run: seconds after state.sim_time are
    // dropped (RE-RUN; a restart goes back to 0), the second sim_time is
    // taken again (a load at time 0 replaces it) and the seconds up to it
    // are taken from the history. Call after every operation: the history
    // must still hold every second not yet taken (at most 1800).
    void follow(const run_state& state);
    // Forgets everything.
    void clear();

    // Seconds held: 0 .. seconds() - 1.
    int seconds() const { return static_cast<int>(row_end_.size()); }
    // The stored sample (model units, mm Hg) of display d at second t.
    float sample(int d, int t) const;
    // seconds() x logged_displays samples, second by second.
    const std::vector<float>& samples() const { return samples_; }

    // The whole log as tolvane-batch --csv writes it: the header row and a
    // row per second from 0, pressures in mm Hg. nullopt when the temporary
    // file cannot be read back.
    std::optional<QByteArray> csv_text() const;
    // True once the rows went to the temporary file.
    bool spilled() const { return spill_ != nullptr; }

private:
    void drop_from(int t);
    void take(const run_state& state, int first, int last);
    void append_rows(const QByteArray& rows);

    qint64 memory_limit_;
    std::vector<float> samples_;
    std::vector<qint64> row_end_;  // byte offset after the CSV row of each second
    QByteArray rows_;              // the CSV rows while they stay in memory
    std::unique_ptr<QTemporaryFile> spill_;
};

// The CSV header row with the mm Hg units the rows are written in, also
// while kPa is shown (the catalogue then holds the kPa records).
QByteArray history_csv_header_in_mmhg();

#endif
