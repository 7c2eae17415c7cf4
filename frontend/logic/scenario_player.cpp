// SPDX-License-Identifier: Apache-2.0
#include "scenario_player.h"

#include "pressure_units.h"
#include "simulator.h"

void scenario_player::start(scenario_script script)
{
    script_ = std::move(script);
    next_ = 0;
}

void scenario_player::stop() { next_ = script_.actions.size(); }

script_run_result scenario_player::act_due(simulator& sim)
{
    script_run_result result;
    while (playing()) {
        const script_action& action = script_.actions[next_];
        const int now = sim.state().sim_time;
        if (action.time > now) break;
        ++next_;
        if (action.time < now) {
            result.notes << QStringLiteral("%1:%2: %3 has passed; the line was left out")
                                .arg(script_.file_name)
                                .arg(action.line)
                                .arg(format_minutes_seconds(action.time));
            continue;
        }
        // The session records the action's event itself.
        script_run_result one = carry_out_script_action(sim, script_, action);
        result.notes << one.notes;
        if (!one.status.ok()) {
            result.status = one.status;
            result.stopped_line = one.stopped_line;
            stop();
            break;
        }
    }
    result.end_time = sim.state().sim_time;
    return result;
}

void scenario_player::pass_reached_end(int now)
{
    while (playing() && script_.actions[next_].kind == script_action_kind::run_until &&
           script_.actions[next_].time <= now)
        ++next_;
}

QString scenario_player::next_action_text() const
{
    if (!playing()) return {};
    const script_action& action = script_.actions[next_];
    return QStringLiteral("line %1 at %2").arg(action.line).arg(format_minutes_seconds(action.time));
}
