// The bag: breath-holding with the glottis closed, collecting expired air,
// rebreathing with or without a CO2 absorber. bager() keeps the bag contents
// and the breathing circuit consistent with the chosen bag state.
#include <algorithm>

#include "step_internal.h"

int32_t previous_bag_state = 10;

namespace {

constexpr int32_t glottis_closed = 9;
constexpr int32_t standard_state = 10;
constexpr int32_t collect_expired = 11;
constexpr int32_t rebreathe = 12;
constexpr int32_t rebreathe_absorber = 13;

constexpr float room_air_o2 = 20.93f;
constexpr float room_air_co2 = 0.03f;

bool rebreathing(int32_t state)
{
    return state == rebreathe || state == rebreathe_absorber;
}

void breathe_room_air()
{
    factor[16].value = room_air_o2;
    factor[15].value = room_air_co2;
}

// Op 1: the subject inspires the bag's gas.
void inspire_from_bag()
{
    const double capacity = fct(4) * drv(12);
    // An empty bag holds nothing to breathe; the percentages stay as they
    // are (any breath then overfills it and op 12 stops the run).
    if (!(capacity > 0)) {
        return;
    }
    const double a = f32(1 / capacity);
    set_fct(16, dsp(22) * a);
    set_fct(15, dsp(21) * a);
    if (bag_state == rebreathe_absorber) {
        factor[15].value = 0;
    }
}

// Op 2: a new bag state chosen in the respiration dialog takes effect.
void take_new_bag_state()
{
    if (bag_state == glottis_closed) {
        other[9] = factor[19].value;
    }
    if (bag_state == standard_state && previous_bag_state == glottis_closed) {
        factor[19].value = other[9];
        breathe_room_air();
    }
    // Leaving rebreathing for room air or for collecting expired air: the
    // subject breathes room air again, not the bag's last mixture.
    if ((bag_state == standard_state || bag_state == collect_expired) &&
        rebreathing(previous_bag_state)) {
        breathe_room_air();
    }
    // A bag is attached: it is filled with the volume and percentages that
    // the dialog set. A new OK while the bag is in use leaves its contents.
    const bool attached = bag_state == collect_expired || rebreathing(bag_state);
    const bool was_detached =
        previous_bag_state == glottis_closed || previous_bag_state == standard_state;
    if (attached && was_detached) {
        const double k = btps_percent_to_stpd();
        set_dsp(22, fct(4) * fct(3) * k);
        set_dsp(21, fct(4) * fct(2) * k);
    }
}

// Op 11: with the glottis closed the lung volume follows the gas it holds.
void follow_closed_glottis(const float* alveolar_amount)
{
    set_fct(19, *alveolar_amount * 0.01 / drv(12));
}

// Op 12: one breath exchanged with the bag.
void exchange_with_bag(const float* excess_volume, float* total_ventilation)
{
    if (display[41].value > factor[4].value) {
        *total_ventilation = -10000;  // the bag cannot hold the breath
        return;
    }
    if (bag_state == rebreathe_absorber) {
        // The absorber takes the CO2 that this step gave to the bag (other[8]),
        // not the whole alveolar CO2 store, which would empty a bag of
        // several litres within half a minute.
        set_fct(4, fct(4) - oth(8) * 0.01 / drv(12));
        display[21].value = 0;
    } else {
        set_dsp(21, dsp(21) + oth(8));
    }
    // A bag cannot hold a negative amount of O2. Collecting expired air (11)
    // takes the subject's uptake from the bag too, although the subject
    // breathes room air; without this floor an empty bag's O2 went negative.
    set_dsp(22, std::max(dsp(22) - oth(7), 0.0));
    set_fct(4, fct(4) - oth(0) + *excess_volume);
}

}  // namespace

double btps_percent_to_stpd()
{
    const double T = fct(5);
    // The dry pressure is held at 1 mm Hg at least, as constant() holds it,
    // where water vapour at a high temperature would fill a low pressure.
    const double dry = std::max(fct(25) - 0.03 * T * T - 5.92, 1.0);
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
