// SPDX-License-Identifier: Apache-2.0
// The ventilation and the bag as the respiration dialog's OK sets them,
// through the references bound by estab_pnt(): the one place that writes
// them, for the dialog, scripts and programs alike.
#ifndef TOLVANE_RESPIRATION_H
#define TOLVANE_RESPIRATION_H

#include "slot_ids.h"

#include <cstdint>
#include <optional>
#include <string>

// The choice of the dialog's radio buttons.
struct respiration_pending {
    std::uint8_t ventilation = 1;  // 1 natural, 0 artificial
    std::int32_t bag_state = bag_state_id::standard;
};

// The numbers of the dialog's six fields as read, before the limits.
struct respiration_numbers {
    double rate = 0;        // respiratory rate, cycles/minute
    double tidal = 0;       // tidal volume, ml BTPS
    double peep = 0;        // positive end-expiratory pressure, cm water
    double bag_volume = 0;  // ml BTPS
    double bag_co2 = 0;     // percentage
    double bag_o2 = 0;      // percentage
};

// True when the bag fields are locked in this state (glottis closed, standard),
// false when open (a bag attached), none when the state is none of the five
// and the style stays.
std::optional<bool> bag_fields_locked(std::int32_t bag_state);

// Rounds a number to float and clamps it to [minimum, maximum].
float clamp_to_limits(double value, float minimum, float maximum);

// The model's current ventilation flag (lowest 8 bits) and bag state.
// Requires estab_pnt() to have run.
respiration_pending current_respiration_pending();

// The model's current settings. Requires estab_pnt().
respiration_numbers current_respiration_numbers();

// The texts the respiration dialog's fields show for a value: the rate
// "%.2f", the other five fields "%.1f".
std::string respiration_rate_string(float value);
std::string respiration_field_string(float value);

// The numbers the dialog's fields hold when it opens: the current settings
// as their texts show them, read back. An OK that leaves a field as shown
// enters this number, not the unrounded setting. Requires estab_pnt().
respiration_numbers shown_respiration_numbers();

enum class respiration_ok_result {
    accepted,                // everything written, bager(2) called
    percentages_exceed_100,  // ventilation, ventilator and bag state and volume
                             // written; percentages and bager(2) not
};

// True when CO2 and O2, each held to its bag record's limits, add up to
// more than 100 %.
bool bag_percentages_exceed_100(double co2, double o2);

// Confirms the settings: writes the ventilation flag, rate, tidal volume and
// PEEP, the bag state and the bag volume (each clamped to its record's
// limits); then, unless clamped CO2 + O2 exceed 100 %, the two bag
// percentages, and calls bager(2, null, null) with the barometric pressure
// in model units. Requires estab_pnt().
respiration_ok_result apply_respiration(const respiration_pending& pending,
                                        const respiration_numbers& numbers);

#endif
