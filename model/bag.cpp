// SPDX-License-Identifier: Apache-2.0
// The bag: breath-holding with the glottis closed, collecting expired air,
// rebreathing with or without a CO2 absorber. bager() keeps the bag contents
// and the breathing circuit consistent with the chosen bag state.
#include <algorithm>

#include "step_internal.h"

int32_t previous_bag_state = bag_state_id::standard;

namespace {

constexpr float room_air_o2 = 20.93f;
constexpr float room_air_co2 = 0.03f;

bool rebreathing(int32_t state)
{
    return state == bag_state_id::rebreathe || state == bag_state_id::rebreathe_absorber;
}

void breathe_room_air()
{
    factor[factor_id::inspired_o2].value = room_air_o2;
    factor[factor_id::inspired_co2].value = room_air_co2;
}

// Op 1: the subject inspires the bag's gas.
void inspire_from_bag()
{
    const double capacity = fct(factor_id::bag_volume) * drv(derived_id::btps_percent_to_stpd);
    // An empty bag holds nothing to breathe; the percentages stay as they
    // are (any breath then overfills it and op 12 stops the run).
    if (!(capacity > 0)) {
        return;
    }
    const double a = f32(1 / capacity);
    set_fct(factor_id::inspired_o2, dsp(display_id::bag_o2_amount) * a);
    set_fct(factor_id::inspired_co2, dsp(display_id::bag_co2_amount) * a);
    if (bag_state == bag_state_id::rebreathe_absorber) {
        factor[factor_id::inspired_co2].value = 0;
    }
}

// Op 2: a new bag state chosen in the respiration dialog takes effect.
void take_new_bag_state()
{
    if (bag_state == bag_state_id::glottis_closed) {
        other[other_id::saved_lung_volume] = factor[factor_id::lung_volume].value;
    }
    if (bag_state == bag_state_id::standard && previous_bag_state == bag_state_id::glottis_closed) {
        factor[factor_id::lung_volume].value = other[other_id::saved_lung_volume];
        breathe_room_air();
    }
    // Leaving rebreathing for room air or for collecting expired air: the
    // subject breathes room air again, not the bag's last mixture.
    if ((bag_state == bag_state_id::standard || bag_state == bag_state_id::collect_expired) &&
        rebreathing(previous_bag_state)) {
        breathe_room_air();
    }
    // A bag is attached: it is filled with the volume and percentages that
    // the dialog set. A new OK while the bag is in use leaves its contents.
    const bool attached = bag_state == bag_state_id::collect_expired || rebreathing(bag_state);
    const bool was_detached =
        previous_bag_state == bag_state_id::glottis_closed || previous_bag_state == bag_state_id::standard;
    if (attached && was_detached) {
        const double k = btps_percent_to_stpd();
        set_dsp(display_id::bag_o2_amount, fct(factor_id::bag_volume) * fct(factor_id::bag_o2) * k);
        set_dsp(display_id::bag_co2_amount, fct(factor_id::bag_volume) * fct(factor_id::bag_co2) * k);
    }
}

// Op 11: with the glottis closed the lung volume follows the gas it holds.
void follow_closed_glottis(const float* alveolar_amount)
{
    set_fct(factor_id::lung_volume, *alveolar_amount * 0.01 / drv(derived_id::btps_percent_to_stpd));
}

// Op 12: one breath exchanged with the bag.
void exchange_with_bag(const float* excess_volume, float* total_ventilation)
{
    if (display[display_id::tidal_volume].value > factor[factor_id::bag_volume].value) {
        *total_ventilation = -10000;  // the bag cannot hold the breath
        return;
    }
    if (bag_state == bag_state_id::rebreathe_absorber) {
        // The absorber takes the CO2 that this step gave to the bag (co2_output_per_step),
        // not the whole alveolar CO2 store, which would empty a bag of
        // several litres within half a minute.
        set_fct(factor_id::bag_volume,
                fct(factor_id::bag_volume) -
                    oth(other_id::co2_output_per_step) * 0.01 / drv(derived_id::btps_percent_to_stpd));
        display[display_id::bag_co2_amount].value = 0;
    } else {
        set_dsp(display_id::bag_co2_amount,
                dsp(display_id::bag_co2_amount) + oth(other_id::co2_output_per_step));
    }
    // A bag cannot hold a negative amount of O2. Collecting expired air (11)
    // takes the subject's uptake from the bag too, although the subject
    // breathes room air; without this floor an empty bag's O2 went negative.
    set_dsp(display_id::bag_o2_amount,
            std::max(dsp(display_id::bag_o2_amount) - oth(other_id::o2_uptake_per_step), 0.0));
    set_fct(factor_id::bag_volume,
            fct(factor_id::bag_volume) - oth(other_id::alveolar_ventilation_per_step) + *excess_volume);
}

}  // namespace

double btps_percent_to_stpd()
{
    const double T = fct(factor_id::body_temperature);
    // The dry pressure is held at 1 mm Hg at least, as constant() holds it,
    // where water vapour at a high temperature would fill a low pressure.
    const double dry = std::max(fct(factor_id::barometric_pressure) - 0.03 * T * T - 5.92, 1.0);
    return static_cast<float>(static_cast<float>(dry) * 0.003592 / (T + 273));
}

void bager(uint32_t op, float* p, float* q)
{
    switch (op) {
    case 1:
        inspire_from_bag();
        break;
    case 2:
        take_new_bag_state();
        break;
    case 11:
        if (p != nullptr) {
            follow_closed_glottis(p);
        }
        break;
    case 12:
        if (p != nullptr && q != nullptr) {
            exchange_with_bag(p, q);
        }
        break;
    default:
        break;
    }
    previous_bag_state = bag_state;
}
