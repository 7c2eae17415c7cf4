// SPDX-License-Identifier: Apache-2.0
// The events an action adds to a run's event log, in the words every client
// shows them: what changed for the event list and the report, and the script
// action that repeats it. The window, scripts and the C interface record
// their actions through these, so a run reads the same whoever drove it.
#ifndef TOLVANE_EVENT_WORDS_H
#define TOLVANE_EVENT_WORDS_H

#include "event_log.h"
#include "respiration.h"

#include <array>
#include <string>
#include <vector>

// The ventilation and bag settings as the model holds them.
struct respiration_snapshot {
    respiration_pending pending;
    std::array<float, 6> values{};  // rate, tidal volume, PEEP, bag volume, bag CO2, bag O2

    bool ventilation_equal(const respiration_snapshot& other) const;
    bool bag_equal(const respiration_snapshot& other) const;
};

// The model's respiration settings now. Requires estab_pnt().
respiration_snapshot snapshot_respiration();

// Factor index set to its value now, at second now: the catalogue's name, the
// value as shown (two decimals) and "set INDEX VALUE" with the value in
// model units (mm Hg), whatever units are shown.
run_event factor_event(int index, int now, bool si_pressure);

// The respiration dialog's OK (or settings changed without one), from before
// to now: one event for the ventilation and one for the bag when each
// changed, or one for the ventilation when an OK changed nothing (its OK
// still acts); none when nothing changed and nothing was confirmed.
std::vector<run_event> respiration_events(const respiration_snapshot& before, bool confirmed, int now);

// A passport field changed to value now (a script cannot set the passport:
// the event carries no action).
run_event passport_event(const char* field, float value, int now);

// RESET, a subject loaded (name: its file as the user named it) and RE-RUN
// from clock back to cursor; a reset and a load lie at 0:00 of the run they
// start.
run_event reset_event(int clock);
run_event load_event(const std::string& name, int clock);
run_event rerun_event(int cursor, int clock);

#endif
