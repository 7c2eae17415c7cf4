// Scenario scripts: a plain-text list of actions at simulated times, run
// through the same code as the main window's controls and the respiration
// dialog. One action per line:
//
//   at 2:00 set 15 5                      factor 15 to 5, clamped as the panel clamps
//   at 10:00 ventilation artificial rate 12 tidal 600 peep 0
//   at 15:00 bag 12 volume 6000 o2 20.93 co2 0
//   at 20:00 natural                      (also "ventilation natural")
//   at 25:00 rerun 22:30                  cursor to 22:30, then RE-RUN
//   run until 40:00
//   # a comment; blank lines are ignored
//
// Times are minutes:seconds of simulated time since the start. The clock only
// stops on whole minutes (RUN always ends on a minute mark), so an action's
// time must be a whole minute, or the current time itself (after "rerun
// 22:30" an action "at 22:30" acts at once). Times never go back except
// through "rerun". Keywords are case-insensitive.
#ifndef TOLVANE_SCENARIO_SCRIPT_H
#define TOLVANE_SCENARIO_SCRIPT_H

#include "tolvane_model.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class simulator;

enum class script_action_kind {
    set_factor,   // "set NAME VALUE" or "set INDEX VALUE"
    ventilation,  // "ventilation artificial [rate R] [tidal V] [peep P]", "natural"
    bag,          // "bag STATE [volume V] [co2 C] [o2 O]"
    rerun,        // "rerun TIME"
    run_until,    // "run until TIME"
};

// One line of a script. Numbers are kept as written: they are typed into the
// same fields the windows read, which do their own conversion and clamping.
struct script_action {
    int line = 0;  // 1-based line in the file
    int time = 0;  // simulated second at which the action happens
    script_action_kind kind = script_action_kind::run_until;

    int factor_index = -1;  // set_factor
    QString value_text;     // set_factor

    bool natural = true;  // ventilation: natural (1) or artificial (0)
    std::optional<QString> rate, tidal, peep;  // ventilation, artificial only

    int bag_state = 10;  // bag: 9..13
    std::optional<QString> bag_volume, bag_co2, bag_o2;  // bag states 11..13 only

    int target = 0;  // rerun: cursor time; run_until: the time to run to (== time)
};

struct scenario_script {
    QString file_name;  // as given, used in messages
    std::vector<script_action> actions;
};

struct script_parse_result {
    scenario_script script;
    QString error;       // "FILE:LINE: message"; empty when the script is sound
    int error_line = 0;  // the line the error names (0 for the file as a whole)
};

// Largest time a script may name: far inside 32-bit seconds.
inline constexpr int script_max_minutes = 100000;

// Parses script text; file_name is used in messages only.
script_parse_result parse_scenario_script(const QString& text, const QString& file_name);

// Reads and parses a script file (UTF-8). A file that cannot be read gives
// "FILE: cannot read the script".
script_parse_result read_scenario_script(const QString& path);

// Parses "M:SS" or "MM:SS" (seconds 00..59, at most script_max_minutes
// minutes) into seconds; nullopt for anything else.
std::optional<int> parse_script_time(const QString& text);

// Every recorded second of the run as it stands at the end: a re-run cuts
// the seconds after the cursor and the run goes on from there. Unlike the
// history ring, it keeps any length of run.
class script_timeline {
public:
    static constexpr int rows = TOLVANE_HISTORY_ROWS;  // display rows, then other rows
    using column = std::array<float, rows>;

    // Forgets everything and takes the history column of second 0.
    void start();
    // Takes the history columns of seconds first..last (first >= 1); seconds
    // from first on that were kept before (an earlier branch) are replaced.
    void take(int first, int last);
    // Forgets the seconds after t.
    void cut_after(int t);

    // Last recorded second (-1 when empty).
    int last_time() const { return static_cast<int>(columns_.size()) - 1; }
    bool has(int t) const { return t >= 0 && t <= last_time(); }
    // The sample of history row `row` at second t (0 outside the table).
    float value(int row, int t) const;
    const column& at(int t) const { return columns_.at(static_cast<std::size_t>(t)); }

    // The timeline as CSV, one row per second: "time_s", then display
    // variables 0..num_dsy-2 (the header of the batch runner's CSV), "%.7g",
    // pressures in mm Hg.
    QByteArray csv() const;

private:
    std::vector<column> columns_;
};

// How a script run ended.
enum class script_end {
    finished,     // every action carried out
    died,         // the subject died; the actions after that were not carried out
    step_failed,  // model() reported a failure
    refused,      // an action could not be carried out (message says why)
};

struct script_run_result {
    script_end end = script_end::finished;
    int end_time = 0;     // sim_time at the end
    int stopped_line = 0; // the action line not carried out (died, failed, refused)
    QString message;      // what ended the run early, "FILE:LINE: ..." where a line is to blame
    QStringList notes;    // "FILE:LINE: ..." for values the controls adjusted
    script_timeline timeline;
};

// Runs a parsed script on a started simulator from its current moment
// (normally time 0 after start, a subject load or RESET). log, when given,
// receives one line per action carried out ("MM:SS what was done").
script_run_result run_scenario_script(simulator& sim, const scenario_script& script,
                                      const std::function<void(const QString&)>& log = {});

// Natural ventilation and the standard bag state through the respiration
// dialog's OK. load_new does not reset the breathing circuit, so a host
// running several scenarios in one process calls this after each restart.
void restore_standard_breathing();

#endif
