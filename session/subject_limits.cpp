#include "subject_limits.h"

#include "cp1252_text.h"
#include "number_text.h"
#include "pressure_mode.h"

#include <cstring>

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
    moved.push_back({utf8_from_cp1252(limits.name, std::strlen(limits.name)), value, held});
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

std::string describe_clamped_value(const clamped_value& value)
{
    // The name without the blanks some catalogue names carry at either end.
    const std::size_t first = value.name.find_first_not_of(" \t\n\r\f\v");
    const std::size_t last = value.name.find_last_not_of(" \t\n\r\f\v");
    const std::string name =
        first == std::string::npos ? std::string() : value.name.substr(first, last - first + 1);
    return name + " " + format_fixed(value.loaded, 2) + " set to " + format_fixed(value.stored, 2);
}

std::string clamped_values_message(const std::vector<clamped_value>& values)
{
    std::string text = "Values outside their limits were set to the nearest limit:";
    for (const clamped_value& value : values) text += "\n" + describe_clamped_value(value);
    return text;
}
