// SPDX-License-Identifier: Apache-2.0
// A sudden change of barometric pressure. The alveolar partial pressures
// alveolar_po2 and alveolar_pco2 are last second's values, and the stages read
// them as this second's: stage 4 takes the alveolar N2 tension as the dry
// pressure less the two, and stage 10 reckons the make-up of the expired gas
// from them over the new dry pressure. After a fall from 760 to 400 mm Hg
// that counts the expired gas as 29 % O2 where the alveoli hold 14 %, and
// the alveolar O2 amount turns negative. The gas in the lungs is compressed
// or expanded with the pressure, its make-up unchanged: in a step whose dry
// pressure differs from the last step's, both alveolar pressures are scaled
// to the new dry pressure before the stages run. Every other step is
// untouched.
#include "step_internal.h"

namespace {

// Dry barometric pressure (dry_pressure) of the last step; 0 after a subject
// has been made live, when it is not known.
float last_dry_pressure = 0;

// The alveolar pressures as the last step left them. Different values at the
// next step mean that the front end has put back an earlier moment (RE-RUN,
// or a failed step undone): that gas may have been made at another pressure.
float left_po2 = 0;
float left_pco2 = 0;

// Relative difference below which a loaded subject's alveolar gas counts as
// made at the pressure it is loaded with.
constexpr double loaded_pressure_tolerance = 0.05;

// The dry pressure at which the alveolar pressures were made, from the
// alveolar amounts: (PO2 + PCO2) over the O2 and CO2 share of the gas; 0
// when the amounts give none.
double dry_pressure_of_alveolar_gas()
{
    const double total = dsp(display_id::alveolar_co2_amount) + dsp(display_id::alveolar_n2_amount) +
                         dsp(display_id::alveolar_o2_amount);
    const double share = (dsp(display_id::alveolar_o2_amount) + dsp(display_id::alveolar_co2_amount)) / total;
    if (!(total > 0) || !(share > 0)) {
        return 0;
    }
    return (dsp(display_id::alveolar_po2) + dsp(display_id::alveolar_pco2)) / share;
}

}  // namespace

void forget_dry_pressure() { last_dry_pressure = 0; }

dry_pressure_memory save_dry_pressure_memory() { return {last_dry_pressure, left_po2, left_pco2}; }

void restore_dry_pressure_memory(const dry_pressure_memory& memory)
{
    last_dry_pressure = memory.last_dry_pressure;
    left_po2 = memory.left_po2;
    left_pco2 = memory.left_pco2;
}

void remember_alveolar_pressures()
{
    left_po2 = display[display_id::alveolar_po2].value;
    left_pco2 = display[display_id::alveolar_pco2].value;
}

bool follow_dry_pressure()
{
    if (display[display_id::alveolar_po2].value != left_po2 ||
        display[display_id::alveolar_pco2].value != left_pco2) {
        last_dry_pressure = 0;
    }
    const float dry = derived[derived_id::dry_pressure];
    if (dry == last_dry_pressure) {
        return false;
    }
    double before = last_dry_pressure;
    if (before <= 0) {
        // The first step of a subject just made live or put back to an
        // earlier moment: its alveolar gas may come from another pressure (a
        // subject file made at sea level with the pressure of a mountain, a
        // moment before the pressure was changed). Within a few per cent it
        // is taken as made at the present pressure and left alone.
        before = dry_pressure_of_alveolar_gas();
        if (before <= 0 || std::abs(before / dry - 1) <= loaded_pressure_tolerance) {
            before = dry;
        }
    }
    last_dry_pressure = dry;
    if (before == dry) {
        return false;
    }
    const double scale = dry / before;
    set_dsp(display_id::alveolar_po2, dsp(display_id::alveolar_po2) * scale);
    set_dsp(display_id::alveolar_pco2, dsp(display_id::alveolar_pco2) * scale);
    return true;
}
