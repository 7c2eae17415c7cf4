// SPDX-License-Identifier: Apache-2.0
// What happened during a run, in the order it happened: factor changes,
// respiration settings, RE-RUN, RESET and loads. The plot marks the events,
// View > Events lists them, the report prints them and "Save as scenario"
// writes them as a script that repeats the run. Plain C++ with no toolkit, so
// any client of the run can keep one.
#ifndef TOLVANE_EVENT_LOG_H
#define TOLVANE_EVENT_LOG_H

#include <functional>
#include <string>
#include <vector>

enum class run_event_kind { factor, respiration, rerun, reset, load, passport };

struct run_event {
    run_event_kind kind = run_event_kind::factor;
    int time = 0;        // the second on the run's time axis where the event lies
    int clock = 0;       // the clock when it happened (RE-RUN: before going back)
    std::string what;    // "Inspired CO2 percentage", "RE-RUN", "RESET", ...
    std::string value;   // as the window shows it: "5.00", "from 16:00", a file name
    std::string action;  // the script action without its time ("set 15 5"); empty
                         // for what a script cannot express (a passport change)
};

class event_log {
public:
    // Adds an event after the others; the log counts as not kept.
    void record(run_event event);
    // Every event since the log was made or cleared, abandoned branches included.
    const std::vector<run_event>& all() const { return events_; }
    // The events of the run as it stands: a RE-RUN drops the events after
    // its cursor, RESET and a load drop all earlier ones; the RE-RUN, RESET
    // or load itself stays (at its cursor time, or at 0:00).
    std::vector<run_event> current_branch() const;
    // Forgets every event (the log counts as kept).
    void clear();

    // True when events were recorded since the run was last saved as a
    // scenario, exported or printed.
    bool unsaved() const { return unsaved_; }
    void mark_kept() { unsaved_ = false; }

    // The script that repeats the run: one "at M:SS ACTION" line per event
    // with an action, in recorded order, a comment for each event without
    // one, and "run until M:SS" for end_time. load_path maps a loaded
    // file's path to the text the script names it by (identity when empty).
    std::string scenario_text(int end_time,
                              const std::function<std::string(const std::string&)>& load_path = {}) const;

private:
    std::vector<run_event> events_;
    bool unsaved_ = false;
};

// "M:SS" (minutes unbounded, seconds two digits), as scripts write times.
std::string script_time_text(int seconds);

// A number as a script writes it so that reading it back gives the same
// single-precision value ("%.9g", trailing zeros dropped).
std::string script_number_text(float value);

#endif
