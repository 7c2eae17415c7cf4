// SPDX-License-Identifier: Apache-2.0
#include "respiration.h"

#include "number_text.h"
#include "pressure_mode.h"
#include "tolvane_model.h"

#include <cstdio>

float clamp_to_limits(double value, float minimum, float maximum)
{
    // Round to float first (an infinity stays infinite), then clamp.
    const float v = static_cast<float>(value);
    if (v < minimum) return minimum;
    if (v > maximum) return maximum;
    return v;
}

std::optional<bool> bag_fields_locked(std::int32_t bag_state)
{
    switch (bag_state) {
    case bag_state_id::glottis_closed:
    case bag_state_id::standard:
        return true;
    case bag_state_id::collect_expired:
    case bag_state_id::rebreathe:
    case bag_state_id::rebreathe_absorber:
        return false;
    default:
        return std::nullopt;
    }
}

respiration_pending current_respiration_pending()
{
    respiration_pending pending;
    pending.ventilation = static_cast<std::uint8_t>(*ventilation & 0xff);
    pending.bag_state = *bag_index;
    return pending;
}

respiration_numbers current_respiration_numbers()
{
    return {res_rate->value, tidal->value, positive->value, bag_vol->value, bag_co2->value, bag_o2->value};
}

std::string respiration_rate_string(float value) { return format_fixed(static_cast<double>(value), 2); }

std::string respiration_field_string(float value) { return format_fixed(static_cast<double>(value), 1); }

respiration_numbers shown_respiration_numbers()
{
    return {read_leading_number(respiration_rate_string(res_rate->value)),
            read_leading_number(respiration_field_string(tidal->value)),
            read_leading_number(respiration_field_string(positive->value)),
            read_leading_number(respiration_field_string(bag_vol->value)),
            read_leading_number(respiration_field_string(bag_co2->value)),
            read_leading_number(respiration_field_string(bag_o2->value))};
}

namespace {

// One number clamped to the limits of the record it will go into.
float clamped(double value, const catalogue_record& record)
{
    return clamp_to_limits(value, record.minimum, record.maximum);
}

}  // namespace

bool bag_percentages_exceed_100(double co2, double o2)
{
    return double(clamped(co2, *bag_co2)) + double(clamped(o2, *bag_o2)) > 100.0;
}

respiration_ok_result apply_respiration(const respiration_pending& pending,
                                        const respiration_numbers& numbers)
{
    // The whole flag takes the byte: upper bits left over from elsewhere
    // would otherwise make an artificial setting read as natural to any
    // reader that tests the whole word.
    *ventilation = pending.ventilation;
    res_rate->value = clamped(numbers.rate, *res_rate);
    tidal->value = clamped(numbers.tidal, *tidal);
    positive->value = clamped(numbers.peep, *positive);
    *bag_index = pending.bag_state;
    bag_vol->value = clamped(numbers.bag_volume, *bag_vol);
    if (bag_percentages_exceed_100(numbers.bag_co2, numbers.bag_o2))
        return respiration_ok_result::percentages_exceed_100;
    bag_co2->value = clamped(numbers.bag_co2, *bag_co2);
    bag_o2->value = clamped(numbers.bag_o2, *bag_o2);
    {
        // A newly attached bag is filled by amounts reckoned from the
        // barometric pressure, which the model reads in mm Hg.
        const model_units_scope model_units(listed_factors_in_kpa());
        bager(2, nullptr, nullptr);
    }
    return respiration_ok_result::accepted;
}
