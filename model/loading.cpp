// SPDX-License-Identifier: Apache-2.0
// Preparing the library for use: binding the references and making the
// standard subject the live one.
#include "step_internal.h"

void estab_pnt()
{
    ventilation = &ventilation_flag;
    res_rate = &display[display_id::respiratory_rate];
    tidal = &display[display_id::tidal_volume];
    positive = &factor[factor_id::peep];
    bag_index = &bag_state;
    bag_vol = &factor[factor_id::bag_volume];
    bag_co2 = &factor[factor_id::bag_co2];
    bag_o2 = &factor[factor_id::bag_o2];
}

bool load_new()
{
    // The fixed sizes of the standard subject, not the catalogue counts.
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) {
        factor[i].value = s_factor[i];
    }
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS - 1; ++i) {
        display[i].value = s_display[i].standard;
    }
    for (int i = 0; i < TOLVANE_NUM_OTHERS; ++i) {
        other[i] = s_other[i];
    }
    height.value = s_height;
    weight.value = s_weight;
    age.value = s_age;
    sex = s_sex;

    clear_symptom_memory();
    venous_delay(-1);
    forget_dry_pressure();
    forget_blood_make_up();
    watch_new_inputs();
    return true;
}
