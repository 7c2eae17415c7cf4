// SPDX-License-Identifier: Apache-2.0
#include "scenario_player.h"

#include "pressure_units.h"
#include "run_events.h"
#include "simulator.h"
#include "tolvane_model.h"

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
        const bool factor_action = action.kind == script_action_kind::set_factor;
        const bool respiration_action =
            action.kind == script_action_kind::ventilation || action.kind == script_action_kind::bag;
        const float factor_before = factor_action ? factor[action.factor_index].value : 0.0f;
        const respiration_snapshot respiration_before =
            respiration_action ? snapshot_respiration() : respiration_snapshot{};
        script_run_result one = carry_out_script_action(sim, script_, action);
        result.notes << one.notes;
        if (!one.status.ok()) {
            result.status = one.status;
            result.stopped_line = one.stopped_line;
            stop();
            break;
        }
        if (factor_action) record_factor_change(sim, action.factor_index, factor_before);
        if (respiration_action) record_respiration_change(sim, respiration_before, true);
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
