// SPDX-License-Identifier: Apache-2.0
#include "run_events.h"

#include "cp1252.h"
#include "panel_logic.h"
#include "simulator.h"
#include "tolvane_model.h"

#include <string>

namespace {

std::string fixed(float value, int decimals)
{
    return QString::number(static_cast<double>(value), 'f', decimals).toStdString();
}

run_event respiration_event(const simulator& sim, std::string value, std::string action)
{
    const int now = sim.state().sim_time;
    return {run_event_kind::respiration, now, now, "Respiration", std::move(value), std::move(action)};
}

}  // namespace

bool respiration_snapshot::ventilation_equal(const respiration_snapshot& other) const
{
    return pending.ventilation == other.pending.ventilation && values[0] == other.values[0] &&
           values[1] == other.values[1] && values[2] == other.values[2];
}

bool respiration_snapshot::bag_equal(const respiration_snapshot& other) const
{
    return pending.bag_state == other.pending.bag_state && values[3] == other.values[3] &&
           values[4] == other.values[4] && values[5] == other.values[5];
}

respiration_snapshot snapshot_respiration()
{
    respiration_snapshot s;
    s.pending = current_respiration_pending();
    s.values = {res_rate->value, tidal->value,   positive->value,
                bag_vol->value,  bag_co2->value, bag_o2->value};
    return s;
}

void record_factor_change(simulator& sim, int index, float before)
{
    if (index < 0 || index >= num_fct || factor[index].value == before) return;
    const int now = sim.state().sim_time;
    const catalogue_record& record = factor[index];
    const float model_value = factor_value_in_model_units(index, sim.state().si_pressure);
    sim.controller().events().record(
        {run_event_kind::factor, now, now, from_cp1252(record.name).toStdString(), fixed(record.value, 2),
         "set " + std::to_string(index) + " " + script_number_text(model_value)});
}

void record_respiration_change(simulator& sim, const respiration_snapshot& before, bool confirmed)
{
    const respiration_snapshot now = snapshot_respiration();
    const bool ventilation_changed = !now.ventilation_equal(before);
    const bool bag_changed = !now.bag_equal(before);
    if (!ventilation_changed && !bag_changed && !confirmed) return;
    event_log& events = sim.controller().events();
    if (ventilation_changed || !bag_changed) {
        if (now.pending.ventilation != 0) {
            events.record(respiration_event(sim, "natural ventilation", "ventilation natural"));
        } else {
            events.record(respiration_event(
                sim,
                "ventilator: rate " + fixed(now.values[0], 2) + " /min, tidal " + fixed(now.values[1], 1) +
                    " ml, PEEP " + fixed(now.values[2], 1),
                "ventilation artificial rate " + script_number_text(now.values[0]) + " tidal " +
                    script_number_text(now.values[1]) + " peep " + script_number_text(now.values[2])));
        }
    }
    if (!bag_changed) return;
    const int state = now.pending.bag_state;
    std::string value = "bag state " + std::to_string(state);
    std::string action = "bag " + std::to_string(state);
    if (!bag_fields_locked(state).value_or(true)) {
        value += ": " + fixed(now.values[3], 1) + " ml, CO2 " + fixed(now.values[4], 1) + " %, O2 " +
                 fixed(now.values[5], 1) + " %";
        action += " volume " + script_number_text(now.values[3]) + " co2 " +
                  script_number_text(now.values[4]) + " o2 " + script_number_text(now.values[5]);
    }
    events.record(respiration_event(sim, std::move(value), std::move(action)));
}

void record_passport_change(simulator& sim, const char* field, float before, float now)
{
    if (before == now) return;
    const int t = sim.state().sim_time;
    sim.controller().events().record(
        {run_event_kind::passport, t, t, std::string("Passport ") + field, fixed(now, 1), std::string()});
}
