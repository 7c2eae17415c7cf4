// SPDX-License-Identifier: Apache-2.0
#include "run_events.h"

#include "catalogue_view.h"
#include "simulator.h"

void record_factor_change(simulator& sim, int index, float before)
{
    const std::span<const catalogue_record> factors = factor_records();
    if (index < 0 || static_cast<size_t>(index) >= factors.size() ||
        factors[static_cast<size_t>(index)].value == before)
        return;
    sim.controller().events().record(factor_event(index, sim.state().sim_time, sim.state().si_pressure));
}

void record_respiration_change(simulator& sim, const respiration_snapshot& before, bool confirmed)
{
    for (run_event& event : respiration_events(before, confirmed, sim.state().sim_time))
        sim.controller().events().record(std::move(event));
}

void record_passport_change(simulator& sim, const char* field, float before, float now)
{
    if (before == now) return;
    sim.controller().events().record(passport_event(field, now, sim.state().sim_time));
}
