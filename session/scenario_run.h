// SPDX-License-Identifier: Apache-2.0
// Scenario scripts without a toolkit: the text a script file holds, parsed
// into actions with every time checked before anything runs, and carried out
// on a run_session. One action per line:
//
//   at 2:00 set 15 5                      factor 15 to 5, clamped as the panel clamps
//   at 10:00 ventilation artificial rate 12 tidal 600 peep 0
//   at 15:00 bag 12 volume 6000 o2 20.93 co2 0
//   at 20:00 natural                      (also "ventilation natural")
//   at 25:00 rerun 22:30                  RE-RUN from 22:30
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
#ifndef TOLVANE_SCENARIO_RUN_H
#define TOLVANE_SCENARIO_RUN_H

#include "respiration.h"
#include "result.h"
#include "run_session.h"
#include "slot_ids.h"
#include "subject_limits.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class script_action_kind {
    set_factor,   // "set NAME VALUE" or "set INDEX VALUE"
    ventilation,  // "ventilation artificial [rate R] [tidal V] [peep P]", "natural"
    bag,          // "bag STATE [volume V] [co2 C] [o2 O]"
    rerun,        // "rerun TIME"
    run_until,    // "run until TIME"
    reset,        // "reset"
    load,         // "load FILE"
};

// One line of a script. Numbers are kept as written: they are typed into the
// same fields the windows read, which do their own conversion and clamping.
struct scenario_action {
    int line = 0;  // 1-based line in the file
    int time = 0;  // simulated second at which the action happens
    script_action_kind kind = script_action_kind::run_until;

    int factor_index = -1;   // set_factor
    std::string value_text;  // set_factor

    bool natural = true;                           // ventilation: natural (1) or artificial (0)
    std::optional<std::string> rate, tidal, peep;  // ventilation, artificial only

    int bag_state = bag_state_id::standard;                  // bag
    std::optional<std::string> bag_volume, bag_co2, bag_o2;  // bag states with a bag only

    int target = 0;  // rerun: cursor time; run_until: the time to run to (== time)

    std::string load_path;  // load: the file, relative paths taken from base_dir
};

// Why a script cannot be run.
enum class script_parse_status {
    ok,
    cannot_read,  // the file could not be read ("FILE: cannot read the script: REASON")
    bad_line,     // a line is not understood ("FILE:LINE: message")
};
using script_parse_outcome = result<script_parse_status>;

struct scenario_parse_result {
    std::vector<scenario_action> actions;
    script_parse_outcome status;  // not ok: the message names the file and line
    int error_line = 0;           // the line the error names (0 for the file as a whole)
};

// Largest time a script may name: far inside 32-bit seconds.
inline constexpr int script_max_minutes = 100000;

// Parses "M:SS" or "MM:SS" (seconds 00..59, at most script_max_minutes
// minutes) into seconds; nullopt for anything else.
std::optional<int> read_script_time(std::string_view text);

// Parses script text (UTF-8). file_name is used in messages; a "load" path
// that is not absolute is taken relative to base_dir.
scenario_parse_result parse_scenario_text(std::string_view text, std::string_view file_name,
                                          std::string_view base_dir);

// How a script run ended.
enum class scenario_end {
    finished,     // every action carried out
    bad_line,     // the text did not parse; nothing ran
    died,         // the subject died; the actions after that were not carried out
    step_failed,  // model() reported a failure
    refused,      // an action could not be carried out (message says why)
    load_failed,  // a "load" could not read its file (a file error)
};

struct scenario_outcome {
    scenario_end end = scenario_end::finished;
    std::string message;             // what ended it early, "FILE:LINE: ..." where a line is to blame
    int stopped_line = 0;            // the action line not carried out
    int failure_item = 0;            // step_failed: the item model() returned
    int failed_time = 0;             // step_failed: the second that failed
    std::vector<std::string> notes;  // "FILE:LINE: ..." for values the controls adjusted
    std::vector<std::string> log;    // "MM:SS what was done", one line per action carried out
};

// What a script's actions go through. These controls act on the session
// itself; a window derives its own, so that a script presses the same
// buttons, moves the same cursor and fills the same fields its user would,
// and the window follows. The hooks after the controls tell a client what
// the run recorded (a batch runner streams it as CSV).
class scenario_controls {
public:
    explicit scenario_controls(run_session& session) : session_(session) {}
    virtual ~scenario_controls() = default;
    scenario_controls(const scenario_controls&) = delete;
    scenario_controls& operator=(const scenario_controls&) = delete;

    run_session& session() { return session_; }

    // RUN.
    virtual step_outcome run_to_minute();
    // RESET.
    virtual void reset();
    // Load of path: nullopt when the file cannot be read (nothing changes),
    // else the values held to a limit that the runner still has to note.
    virtual std::optional<std::vector<clamped_value>> load(const std::string& path);
    // RE-RUN from target; false when the cursor cannot reach it (nothing changes).
    virtual bool rerun(int target);
    // The factor panel's entry of value into factor index.
    virtual clamped_entry set_factor(int index, float value);
    // The respiration dialog's OK.
    virtual respiration_ok_result set_respiration(const respiration_pending& pending,
                                                  const respiration_numbers& numbers);

    // A step recorded seconds first..last.
    virtual void recorded(int /*first*/, int /*last*/) {}
    // A reset or load started the run again at 0.
    virtual void restarted() {}
    // A RE-RUN cut the run after second t.
    virtual void cut_after(int /*t*/) {}
    // A line of the run's log ("MM:SS what was done"), as it happens.
    virtual void logged(const std::string& /*line*/) {}

private:
    run_session& session_;
};

// Carries out parsed actions through controls from the session's current
// moment. Before anything runs, every "load" file is read and the bag
// percentages are followed through the lines as the respiration dialog
// takes them, so that an OK the dialog would refuse stops the script before
// its first RUN rather than minutes into it. file_name names the script in
// messages.
scenario_outcome run_scenario(scenario_controls& controls, const std::vector<scenario_action>& actions,
                              std::string_view file_name);

// As above on the session's own controls.
scenario_outcome run_scenario(run_session& session, const std::vector<scenario_action>& actions,
                              std::string_view file_name);

// Carries out one action now, as run_scenario does once the clock shows the
// action's time ("run until" does nothing): for a window that plays a
// script as its user presses RUN.
scenario_outcome carry_out_scenario_action(scenario_controls& controls, const scenario_action& action,
                                           std::string_view file_name);

// Parses text and, when it parses, runs it.
scenario_outcome run_scenario_text(run_session& session, std::string_view text, std::string_view base_dir,
                                   std::string_view file_name = "script");

#endif
