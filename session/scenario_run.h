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

#include "result.h"
#include "slot_ids.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class run_session;

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
    std::vector<std::string> notes;  // "FILE:LINE: ..." for values the controls adjusted
    std::vector<std::string> log;    // "MM:SS what was done", one line per action carried out
};

// Carries out parsed actions on session from its current moment.
scenario_outcome run_scenario(run_session& session, const std::vector<scenario_action>& actions,
                              std::string_view file_name);

// Parses text and, when it parses, runs it.
scenario_outcome run_scenario_text(run_session& session, std::string_view text, std::string_view base_dir,
                                   std::string_view file_name = "script");

#endif
