// SPDX-License-Identifier: Apache-2.0
// A scenario script played in the window: the teacher presses RUN, and before
// each run the actions due at the clock's time are carried out, in file
// order, as tolvane-batch carries them out once its clock shows their time.
// "run until" lines only say how far the lesson goes. Every action is
// recorded in the run's event log.
#ifndef TOLVANE_SCENARIO_PLAYER_H
#define TOLVANE_SCENARIO_PLAYER_H

#include "scenario_script.h"

#include <QString>
#include <QStringList>

class simulator;

class scenario_player {
public:
    // Starts playing script from the simulator's current moment.
    void start(scenario_script script);
    // Stops playing (the remaining actions are dropped).
    void stop();
    // True while actions remain.
    bool playing() const { return next_ < script_.actions.size(); }
    const QString& file_name() const { return script_.file_name; }

    // Carries out the actions due at the current time (an action a re-run,
    // reset or load brought due as well). An action whose time has passed
    // without it (a RE-RUN or RESET of the user's own) is dropped with its
    // line named in the result's notes. Stops at a refused action; the
    // result's status then says why.
    script_run_result act_due(simulator& sim);

    // Passes the "run until" lines the clock has reached (now), so that a
    // lesson ends when its last run ends rather than at the next RUN.
    void pass_reached_end(int now);

    // The next action's time and line text ("2:00 set 15 5"); empty when done.
    QString next_action_text() const;

private:
    scenario_script script_;
    std::size_t next_ = 0;
};

#endif
