// SPDX-License-Identifier: Apache-2.0
#include "catalogue_view.h"

#include <algorithm>

namespace {

// A catalogue count held to the array it counts.
std::size_t held(int count, int capacity) { return static_cast<std::size_t>(std::clamp(count, 0, capacity)); }

}  // namespace

std::span<const catalogue_record> factor_records() { return {factor, held(num_fct, TOLVANE_NUM_FACTORS)}; }

std::span<const catalogue_record> display_records() { return {display, held(num_dsy, TOLVANE_NUM_DISPLAYS)}; }

std::span<const float> other_values() { return {other, held(num_oth, TOLVANE_NUM_OTHERS)}; }

float standard_factor_value(int i)
{
    return i >= 0 && static_cast<std::size_t>(i) < factor_records().size() ? s_factor[i] : 0.0f;
}

float standard_display_value(int i)
{
    const std::size_t standard_count = std::min(display_records().size(), std::size(s_display));
    return i >= 0 && static_cast<std::size_t>(i) < standard_count ? s_display[i].standard : 0.0f;
}

passport_records live_passport() { return {height, weight, age, sex}; }
