// SPDX-License-Identifier: Apache-2.0
// The O2 carried by blood of given conditions, by the model's own chemistry
// (the same every blood compartment of a step uses): for the dissociation
// curve of the teaching views. Reads and changes no subject.
#ifndef TOLVANE_BLOOD_O2_H
#define TOLVANE_BLOOD_O2_H

#include <optional>

struct blood_o2 {
    float saturation = 0;  // fraction 0..1
    float content = 0;     // ml/100 ml, dissolved plus bound
};

// Blood at po2 and pco2 (mm Hg; po2 >= 0, pco2 > 0), pH ph, temperature
// (degrees centigrade), 2,3-DPG dpg (mmol/litre) and haemoglobin (g/100 ml,
// >= 0); nullopt when an input is not a finite number or out of its range.
std::optional<blood_o2> blood_o2_at(float po2, float pco2, float ph, float temperature, float dpg,
                                    float haemoglobin);

#endif
