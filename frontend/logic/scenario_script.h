// SPDX-License-Identifier: Apache-2.0
// Scenario scripts: a plain-text list of actions at simulated times, run
// through the same code as the main window's controls and the respiration
// dialog. One action per line:
//
//   at 2:00 set 15 5                      factor 15 to 5, clamped as the panel clamps
//   at 10:00 ventilation artificial rate 12 tidal 600 peep 0
//   at 15:00 bag 12 volume 6000 o2 20.93 co2 0
//   at 20:00 natural                      (also "ventilation natural")
//   at 25:00 rerun 22:30                  cursor to 22:30, then RE-RUN
//   at 30:00 reset                        RESET: the subject starts again at 0:00
//   at 5:00 load subjects/x.sbj           Load (relative to the script's folder)
//   run until 40:00
//   # a comment; blank lines are ignored
//
// Times are minutes:seconds of simulated time since the start. The clock only
// stops on whole minutes (RUN always ends on a minute mark), so an action's
// time must be a whole minute, or the current time itself (after "rerun
// 22:30" an action "at 22:30" acts at once). Times never go back except
// through "rerun", and "reset" and "load" start the clock again at 0:00.
// Keywords are case-insensitive.
#ifndef TOLVANE_SCENARIO_SCRIPT_H
#define TOLVANE_SCENARIO_SCRIPT_H

#include "history_csv.h"
#include "result.h"
#include "scenario_run.h"
#include "slot_ids.h"
#include "tolvane_model.h"

#include <QString>
#include <QStringList>
#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class simulator;

// One line of a script. Numbers are kept as written: they are typed into the
// same fields the windows read, which do their own conversion and clamping.
struct script_action {
    int line = 0;  // 1-based line in the file
    int time = 0;  // simulated second at which the action happens
    script_action_kind kind = script_action_kind::run_until;

    int factor_index = -1;  // set_factor
    QString value_text;     // set_factor

    bool natural = true;                       // ventilation: natural (1) or artificial (0)
    std::optional<QString> rate, tidal, peep;  // ventilation, artificial only

    int bag_state = bag_state_id::standard;              // bag
    std::optional<QString> bag_volume, bag_co2, bag_o2;  // bag states with a bag only

    int target = 0;  // rerun: cursor time; run_until: the time to run to (== time)

    QString load_path;  // load: the file, relative paths taken from the script's folder
};

struct scenario_script {
    QString file_name;  // as given, used in messages
    std::vector<script_action> actions;
};

struct script_parse_result {
    scenario_script script;
    script_parse_outcome status;  // not ok: the message names the file (and line)
    int error_line = 0;           // the line the error names (0 for the file as a whole)
};

// Parses script text; file_name is used in messages only.
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
using history_column = std::array<float, TOLVANE_HISTORY_ROWS>;

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

    static constexpr int rows = TOLVANE_HISTORY_ROWS;  // display rows, then other rows
    using column = history_column;

    // Forgets everything (a stream is told to restart) and takes the history
    // column of second 0.
    void start();
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
// dialog's OK. RESET and Load now start the circuit clean themselves; a host
// may still call this to put the standard circuit back without a restart.
void restore_standard_breathing();

#endif
