// Preparing the library for use: binding the references and making the
// standard subject the live one.
#include "step_internal.h"

void estab_pnt()
{
    ventilation = &ventilation_flag;
    res_rate = &display[40];
    tidal = &display[41];
    positive = &factor[22];
    bag_index = &bag_state;
    bag_vol = &factor[4];
    bag_co2 = &factor[2];
    bag_o2 = &factor[3];
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
    watch_new_inputs();
    return true;
}
