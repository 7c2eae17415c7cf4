// SPDX-License-Identifier: Apache-2.0
#include "blood_o2.h"

#include "tolvane_model.h"

std::optional<blood_o2> blood_o2_at(float po2, float pco2, float ph, float temperature, float dpg,
                                    float haemoglobin)
{
    blood_o2 blood;
    if (!tolvane_o2_saturation(po2, pco2, ph, temperature, dpg, haemoglobin, &blood.saturation,
                               &blood.content))
        return std::nullopt;
    return blood;
}
