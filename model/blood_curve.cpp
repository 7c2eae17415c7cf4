// SPDX-License-Identifier: Apache-2.0
// The exported O2 dissociation curve: the model's blood chemistry evaluated
// for conditions the caller gives, without touching the live subject.
#include <cmath>
#include <initializer_list>

#include "model_internal.h"

bool tolvane_o2_saturation(float po2, float pco2, float ph, float temperature, float dpg, float haemoglobin,
                           float* saturation, float* o2_content)
{
    for (float input : {po2, pco2, ph, temperature, dpg, haemoglobin}) {
        if (!std::isfinite(input)) {
            return false;
        }
    }
    // blood_contents requires a positive PCO2; a negative pressure or
    // haemoglobin has no meaning.
    if (po2 < 0 || pco2 <= 0 || haemoglobin < 0) {
        return false;
    }

    // The packed cell volume only bears on the CO2 content, which is not
    // returned; 0 keeps the live subject's value out of the computation.
    const blood_conditions blood{temperature, haemoglobin, 0.0, o2_curve_reference_ph(dpg)};
    float o2 = 0, co2 = 0, s = 0;
    blood_contents_at(blood, ph, po2, pco2, o2, co2, s);
    if (saturation) {
        *saturation = s;
    }
    if (o2_content) {
        *o2_content = o2;
    }
    return true;
}
