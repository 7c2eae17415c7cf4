// SPDX-License-Identifier: Apache-2.0
#include "event_words.h"

#include "cp1252_text.h"
#include "number_text.h"
#include "pressure_mode.h"
#include "tolvane_model.h"

#include <cstring>

namespace {

std::string fixed(float value, int decimals) { return format_fixed(static_cast<double>(value), decimals); }

run_event respiration_event(int now, std::string value, std::string action)
{
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

run_event factor_event(int index, int now, bool si_pressure)
{
    const catalogue_record& record = factor[index];
    const float model_value = factor_value_in_model_units(index, si_pressure);
    return {run_event_kind::factor,
            now,
            now,
            utf8_from_cp1252(record.name, std::strlen(record.name)),
            fixed(record.value, 2),
            "set " + std::to_string(index) + " " + script_number_text(model_value)};
}

std::vector<run_event> respiration_events(const respiration_snapshot& before, bool confirmed, int now)
{
    std::vector<run_event> events;
    const respiration_snapshot after = snapshot_respiration();
    const bool ventilation_changed = !after.ventilation_equal(before);
    const bool bag_changed = !after.bag_equal(before);
    if (!ventilation_changed && !bag_changed && !confirmed) return events;
    if (ventilation_changed || !bag_changed) {
        if (after.pending.ventilation != 0) {
            events.push_back(respiration_event(now, "natural ventilation", "ventilation natural"));
        } else {
            events.push_back(respiration_event(
                now,
                "ventilator: rate " + fixed(after.values[0], 2) + " /min, tidal " +
                    fixed(after.values[1], 1) + " ml, PEEP " + fixed(after.values[2], 1),
                "ventilation artificial rate " + script_number_text(after.values[0]) + " tidal " +
                    script_number_text(after.values[1]) + " peep " + script_number_text(after.values[2])));
        }
    }
    if (!bag_changed) return events;
    const int state = after.pending.bag_state;
    std::string value = "bag state " + std::to_string(state);
    std::string action = "bag " + std::to_string(state);
    if (!bag_fields_locked(state).value_or(true)) {
        value += ": " + fixed(after.values[3], 1) + " ml, CO2 " + fixed(after.values[4], 1) + " %, O2 " +
                 fixed(after.values[5], 1) + " %";
        action += " volume " + script_number_text(after.values[3]) + " co2 " +
                  script_number_text(after.values[4]) + " o2 " + script_number_text(after.values[5]);
    }
    events.push_back(respiration_event(now, std::move(value), std::move(action)));
    return events;
}

run_event passport_event(const char* field, float value, int now)
{
    return {run_event_kind::passport, now,          now, std::string("Passport ") + field,
            fixed(value, 1),          std::string()};
}

run_event reset_event(int clock) { return {run_event_kind::reset, 0, clock, "RESET", "", "reset"}; }

run_event load_event(const std::string& name, int clock)
{
    return {run_event_kind::load, 0, clock, "Load", name, "load " + name};
}

run_event rerun_event(int cursor, int clock)
{
    return {run_event_kind::rerun,
            cursor,
            clock,
            "RE-RUN",
            "from " + script_time_text(clock),
            "rerun " + script_time_text(cursor)};
}
