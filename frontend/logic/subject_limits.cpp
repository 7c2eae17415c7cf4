// SPDX-License-Identifier: Apache-2.0
#include "subject_limits.h"

#include "cp1252.h"
#include "panel_logic.h"

#include <iterator>

namespace {

// The record holding factor index's limits in model units: while kPa is
// shown, a listed pressure's mm Hg limits sit in its alternative record.
const catalogue_record& factor_limits_in_model_units(int index)
{
    if (listed_factors_in_kpa()) {
        for (int j = 0; j < static_cast<int>(std::size(alt_fact)) && a_f_lst[j] >= 0; ++j)
            if (a_f_lst[j] == index) return alt_fact[j];
    }
    return factor[index];
}

void clamp_to(const catalogue_record& limits, float& value, std::vector<clamped_value>& moved)
{
    float held = value;
    if (held > limits.maximum) held = limits.maximum;
    if (held < limits.minimum) held = limits.minimum;
    if (held == value) return;
    moved.push_back({from_cp1252(limits.name), value, held});
    value = held;
}

}  // namespace

std::vector<clamped_value> clamp_subject_to_limits(subject_data& data)
{
    std::vector<clamped_value> moved;
    clamp_to(height, data.height, moved);
    clamp_to(weight, data.weight, moved);
    clamp_to(age, data.age, moved);
    for (int i = 0; i < num_fct && i < TOLVANE_NUM_FACTORS; ++i)
        clamp_to(factor_limits_in_model_units(i), data.factors[static_cast<std::size_t>(i)], moved);
    return moved;
}

QString describe_clamped_value(const clamped_value& value)
{
    return QStringLiteral("%1 %2 set to %3")
        .arg(value.name.trimmed())
        .arg(static_cast<double>(value.loaded), 0, 'f', 2)
        .arg(static_cast<double>(value.stored), 0, 'f', 2);
}

QString clamped_values_message(const std::vector<clamped_value>& values)
{
    QString text = QStringLiteral("Values outside their limits were set to the nearest limit:");
    for (const clamped_value& value : values) text += QLatin1Char('\n') + describe_clamped_value(value);
    return text;
}
