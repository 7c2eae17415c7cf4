// SPDX-License-Identifier: Apache-2.0
// Scenario scripts in the front end: a script file read and parsed by the
// session's parser (scenario_run.h, which describes the lines), and carried
// out by the session's runner through the simulator's own controls (RUN,
// the plot cursor keys, RE-RUN, the factor panel's value entry, the
// respiration dialog's OK), so that a window follows the script and
// tolvane-batch prints what the window would show. The seconds recorded are
// kept, or streamed, as the batch runner's CSV.
#ifndef TOLVANE_SCENARIO_SCRIPT_H
#define TOLVANE_SCENARIO_SCRIPT_H

#include "history_csv.h"
#include "result.h"
#include "scenario_run.h"
#include "slot_ids.h"
#include "model_host.h"

#include <QString>
#include <QStringList>
#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class simulator;

// One line of a script, as the session's parser reads it.
using script_action = scenario_action;

struct scenario_script {
    QString file_name;  // as given, used in messages
    std::vector<script_action> actions;
};

struct script_parse_result {
    scenario_script script;
    script_parse_outcome status;  // not ok: the message names the file (and line)
    int error_line = 0;           // the line the error names (0 for the file as a whole)
};

// Parses script text; file_name is used in messages, and a relative "load"
// path is taken from its folder.
script_parse_result parse_scenario_script(const QString& text, const QString& file_name);

// Largest script file: a script is a page of lines, not a stream.
inline constexpr qint64 script_max_bytes = qint64(1) << 20;

// Reads and parses a script file (UTF-8); "-" is standard input, named
// "standard input" in messages (relative "load" paths are then taken from
// the working folder). A file that cannot be read gives "FILE: cannot read
// the script: REASON" (the system's reason), one larger than
// script_max_bytes "FILE: the script is larger than 1 MB".
script_parse_result read_scenario_script(const QString& path);

// Parses "M:SS" or "MM:SS" (seconds 00..59, at most script_max_minutes
// minutes) into seconds; nullopt for anything else.
std::optional<int> parse_script_time(const QString& text);

// One second's history column: display rows, then other rows.
using history_column = std::array<float, history_table_rows>;

// Where a streaming timeline sends the seconds no re-run can reach any more.
class timeline_stream {
public:
    virtual ~timeline_stream() = default;
    // The run starts again (a reset or load): what was sent is void.
    virtual void restart() = 0;
    // Second t's column; seconds come in order, each once (until a restart).
    virtual void second(int t, const history_column& column) = 0;
};

// Appends second t's CSV row: "t", then display variables 0..num_dsy-2
// (the header of the batch runner's CSV) as format_csv_number writes them
// with digits significant digits, pressures in mm Hg; ends with "\n".
void append_timeline_csv_row(QByteArray& out, int t, const history_column& column, int digits);

// Every recorded second of the run as it stands at the end: a re-run cuts
// the seconds after the cursor and the run goes on from there. Unlike the
// history ring, it keeps any length of run; with a stream it keeps only the
// seconds a re-run can still reach (the 30 minutes before the latest time)
// and sends the older ones to the stream, so memory stays bounded.
class script_timeline {
public:
    // Sends seconds older than a re-run can reach to stream (nullptr: keep
    // all). The stream must outlive the timeline's use.
    void stream_to(timeline_stream* stream) { stream_ = stream; }
    // Sends every second still kept to the stream (the end of a run).
    void flush();

    static constexpr int rows = history_table_rows;  // display rows, then other rows
    using column = history_column;

    // Forgets everything (a stream is told to restart) and takes the history
    // column of second 0 from table, where the later seconds are taken from
    // too; the table must outlive the timeline's use.
    void start(const history_table& table);
    // Takes the history columns of seconds first..last (first >= 1); seconds
    // from first on that were kept before (an earlier branch) are replaced.
    void take(int first, int last);
    // Forgets the seconds after t.
    void cut_after(int t);

    // Last recorded second (-1 when empty).
    int last_time() const { return first_ + static_cast<int>(columns_.size()) - 1; }
    // First second still kept (0 unless streamed).
    int first_time() const { return first_; }
    bool has(int t) const { return t >= first_ && t <= last_time(); }
    // The sample of history row `row` at second t (0 outside the table).
    float value(int row, int t) const;
    const column& at(int t) const { return columns_.at(static_cast<std::size_t>(t - first_)); }

    // The seconds kept as CSV after history_csv_header(), one row per
    // second as append_timeline_csv_row writes it.
    QByteArray csv(int digits = csv_default_digits) const;
    // Only the rows of the seconds kept, without the header.
    QByteArray csv_rows(int digits = csv_default_digits) const;

private:
    // Sends the seconds no re-run can reach to the stream.
    void send_unreachable();

    const history_table* table_ = nullptr;
    std::deque<column> columns_;
    int first_ = 0;   // second of columns_.front()
    int latest_ = 0;  // the latest second taken since start(); a re-run does not lower it
    timeline_stream* stream_ = nullptr;
};

// How a script run ended.
enum class script_end {
    finished,     // every action carried out
    died,         // the subject died; the actions after that were not carried out
    step_failed,  // model() reported a failure
    refused,      // an action could not be carried out (message says why)
    load_failed,  // a "load" could not read its file (a file error)
};
// How a script run ended; the message says what ended it early, "FILE:LINE:
// ..." where a line is to blame.
using script_run_outcome = result<script_end>;

struct script_run_result {
    script_run_outcome status;  // ok: every action carried out
    int end_time = 0;           // sim_time at the end
    int stopped_line = 0;       // the action line not carried out (died, failed, refused)
    int failure_item = 0;       // step_failed: the item model() returned
    int failed_time = 0;        // step_failed: the second that failed (end_time + 1)
    QStringList notes;          // "FILE:LINE: ..." for values the controls adjusted
    script_timeline timeline;
};

// Runs a parsed script on a started simulator from its current moment
// (normally time 0 after start, a subject load or RESET). log, when given,
// receives one line per action carried out ("MM:SS what was done"). With a
// stream, the timeline streams (see script_timeline) and is flushed at the
// end, so the result's timeline is then empty.
script_run_result run_scenario_script(simulator& sim, const scenario_script& script,
                                      const std::function<void(const QString&)>& log = {},
                                      timeline_stream* stream = nullptr);

// Carries out one action now, as run_scenario_script does once the clock
// shows the action's time ("run until" does nothing): for a window that
// plays a script as its user presses RUN. The result has no timeline.
script_run_result carry_out_script_action(simulator& sim, const scenario_script& script,
                                          const script_action& action);

// Natural ventilation and the standard bag state through the respiration
// dialog's OK, without an event. RESET and Load now start the circuit clean
// themselves; a host may still call this to put the standard circuit back
// without a restart.
void restore_standard_breathing(simulator& sim);

#endif
