// SPDX-License-Identifier: Apache-2.0
// The step's own memory as one copyable block, for the front end's exact
// rewind, and the breathing circuit of a fresh subject.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "step_internal.h"

static_assert(sizeof(tolvane_step_memory::derived) == sizeof(derived));
static_assert(sizeof(tolvane_step_memory::venous_delay) == sizeof(venous_delay_line));

void tolvane_save_step_memory(tolvane_step_memory* memory)
{
    if (memory == nullptr) return;
    for (int i = 0; i < venous_delay_slots; ++i) {
        const venous_delay_slot& slot = venous_delay_line[i];
        memory->venous_delay[i][0] = slot.o2_content;
        memory->venous_delay[i][1] = slot.co2_content;
        memory->venous_delay[i][2] = slot.bicarbonate;
        memory->venous_delay[i][3] = slot.tissue_pco2;
    }
    memory->venous_delay_write = venous_delay_write;
    memory->previous_bag_state = previous_bag_state;
    memory->symptom_bits = symptoms.bits;
    memory->symptom_previous_serious = symptoms.previous_serious;
    memory->symptom_previous_any = symptoms.previous_any;
    std::copy(std::begin(derived), std::end(derived), memory->derived);
    const dry_pressure_memory pressure = save_dry_pressure_memory();
    memory->last_dry_pressure = pressure.last_dry_pressure;
    memory->left_alveolar_po2 = pressure.left_po2;
    memory->left_alveolar_pco2 = pressure.left_pco2;
    const blood_make_up_memory blood = save_blood_make_up_memory();
    memory->last_haemoglobin = blood.last_haemoglobin;
    memory->last_packed_cell_volume = blood.last_packed_cell_volume;
    memory->left_arterial_o2_content = blood.left_arterial_o2_content;
    memory->left_arterial_co2_content = blood.left_arterial_co2_content;
}

void tolvane_restore_step_memory(const tolvane_step_memory* memory)
{
    if (memory == nullptr) return;
    for (int i = 0; i < venous_delay_slots; ++i) {
        venous_delay_line[i] = {memory->venous_delay[i][0], memory->venous_delay[i][1],
                                memory->venous_delay[i][2], memory->venous_delay[i][3]};
    }
    // A hand-made copy never sends the write position outside the line.
    const int32_t write = memory->venous_delay_write;
    venous_delay_write = write >= 0 && write < venous_delay_slots ? write : 0;
    previous_bag_state = memory->previous_bag_state;
    symptoms.bits = memory->symptom_bits;
    symptoms.previous_serious = memory->symptom_previous_serious;
    symptoms.previous_any = memory->symptom_previous_any;
    // A copy of fixed size, which the compiler writes out in place: std::copy
    // from a caller's block calls memmove, which _FORTIFY_SOURCE cannot guard.
    std::memcpy(derived, memory->derived, sizeof derived);
    restore_dry_pressure_memory(
        {memory->last_dry_pressure, memory->left_alveolar_po2, memory->left_alveolar_pco2});
    restore_blood_make_up_memory({memory->last_haemoglobin, memory->last_packed_cell_volume,
                                  memory->left_arterial_o2_content, memory->left_arterial_co2_content});
    // The values put back did not come from a step: the next step checks
    // the whole state (and the constants) for values that are not finite.
    watch_new_constants();
}

void tolvane_standard_circuit()
{
    ventilation_flag = 1;
    bag_state = bag_state_id::standard;
    previous_bag_state = bag_state_id::standard;
}
