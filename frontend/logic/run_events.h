// SPDX-License-Identifier: Apache-2.0
// The events a user's or a script's action adds to the run's event log:
// what changed, described for the event list and as the script action that
// repeats it. Shared by the windows and the scenario player so that both
// record an action in the same words.
#ifndef TOLVANE_RUN_EVENTS_H
#define TOLVANE_RUN_EVENTS_H

#include "event_words.h"

class simulator;

// Records a change of factor index from value before to its value now, at
// the simulator's time; nothing when the value is the same.
void record_factor_change(simulator& sim, int index, float before);

// Records the respiration dialog's OK (or settings changed without one):
// one event for the ventilation and one for the bag when each changed, or
// one for the ventilation when an OK changed nothing (its OK still acts).
void record_respiration_change(simulator& sim, const respiration_snapshot& before, bool confirmed);

// Records a passport field changed from before to its value now (a script
// cannot set the passport: the event carries no action).
void record_passport_change(simulator& sim, const char* field, float before, float now);

#endif
