#include "pressure_mode.h"

#include <cstddef>
#include <iterator>
#include <utility>

namespace {

// The factors by which a listed factor's value is multiplied, single precision.
constexpr double to_kpa_factor = kpa_per_mmhg;
constexpr double to_mmhg_factor = mmhg_per_kpa;

// Which records the listed factors hold now (set by swap_pressure_units).
bool listed_in_kpa = false;

// Visits every position of a -1-terminated list, never past its array.
template <std::size_t N, typename F>
void for_each_listed(const int32_t (&list)[N], F&& visit)
{
    for (std::size_t j = 0; j < N && list[j] != -1; ++j) visit(static_cast<int>(j), list[j]);
}

template <std::size_t N>
bool listed(const int32_t (&list)[N], int index)
{
    bool found = false;
    for_each_listed(list, [&](int, int entry) { found = found || entry == index; });
    return found;
}

}  // namespace

double mmhg_to_kpa(double mmhg) { return mmhg * kpa_per_mmhg; }

double kpa_to_mmhg(double kpa) { return kpa * mmhg_per_kpa; }

void scale_listed_factor_values(double k)
{
    const float kf = static_cast<float>(k);
    for_each_listed(a_f_lst, [&](int, int index) {
        if (index >= 0 && index < num_fct) factor[index].value = factor[index].value * kf;
    });
}

void swap_pressure_units(bool towards_kpa)
{
    auto exchange = [](catalogue_record& live, catalogue_record& alternative) {
        std::swap(live.unit, alternative.unit);
        std::swap(live.minimum, alternative.minimum);
        std::swap(live.maximum, alternative.maximum);
    };
    for_each_listed(a_f_lst, [&](int j, int index) {
        if (index >= 0 && index < num_fct && j < static_cast<int>(std::size(alt_fact)))
            exchange(factor[index], alt_fact[j]);
    });
    scale_listed_factor_values(towards_kpa ? to_kpa_factor : to_mmhg_factor);
    for_each_listed(a_d_lst, [&](int j, int index) {
        if (index >= 0 && index < num_dsy && j < static_cast<int>(std::size(alt_dspy)))
            exchange(display[index], alt_dspy[j]);
    });
    listed_in_kpa = towards_kpa;
}

bool listed_factors_in_kpa() { return listed_in_kpa; }

void set_listed_factors_in_kpa(bool in_kpa) { listed_in_kpa = in_kpa; }

bool pressure_factor(int index) { return listed(a_f_lst, index); }

bool pressure_display(int index) { return listed(a_d_lst, index); }

float factor_value_in_model_units(int index, bool si_pressure)
{
    if (index < 0 || index >= num_fct) return 0.0f;
    float value = factor[index].value;
    if (si_pressure && pressure_factor(index)) value = value * static_cast<float>(to_mmhg_factor);
    return value;
}

model_units_scope::model_units_scope(bool si_pressure) : active_(si_pressure)
{
    if (!active_) return;
    for (int i = 0; i < num_fct && i < TOLVANE_NUM_FACTORS; ++i) shown_[i] = factor[i].value;
    scale_listed_factor_values(to_mmhg_factor);
    for (int i = 0; i < num_fct && i < TOLVANE_NUM_FACTORS; ++i) converted_[i] = factor[i].value;
}

model_units_scope::~model_units_scope()
{
    if (!active_) return;
    // A value the model left alone gets its shown value back exactly; one the
    // model changed meanwhile is converted from the model's new value.
    for_each_listed(a_f_lst, [&](int, int index) {
        if (index < 0 || index >= num_fct) return;
        if (factor[index].value == converted_[index])
            factor[index].value = shown_[index];
        else
            factor[index].value = factor[index].value * static_cast<float>(to_kpa_factor);
    });
}
