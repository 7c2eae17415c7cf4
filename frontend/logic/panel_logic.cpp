// SPDX-License-Identifier: Apache-2.0
#include "panel_logic.h"

#include "c_number.h"
#include "cp1252.h"
#include "pressure_units.h"
#include "slot_ids.h"

#include <cctype>
#include <cfloat>
#include <cmath>

namespace {

// The factors by which a listed factor's value is multiplied, single precision.
constexpr double to_kpa_factor = kpa_per_mmhg;
constexpr double to_mmhg_factor = mmhg_per_kpa;

// Visits every position of a -1-terminated list, never past its array.
// Which records the listed factors hold now (set by swap_pressure_units).
bool listed_in_kpa = false;

template <std::size_t N, typename F>
void for_each_listed(const int32_t (&list)[N], F&& visit)
{
    for (std::size_t j = 0; j < N && list[j] != -1; ++j) visit(static_cast<int>(j), list[j]);
}

}  // namespace

panel_selection initial_selection()
{
    panel_selection selection;
    // Row 4 of the shipped table named factor 32, one past the last factor.
    // We read it as the last factor, "Work Rate": the nearest valid index, not
    // used by another row, and the factor a student most often changes next.
    selection.factor_sel = {factor_id::inspired_o2,
                            factor_id::inspired_co2,
                            factor_id::body_temperature,
                            factor_id::dpg,
                            factor_id::work_rate,
                            -1,
                            -1,
                            -1};
    selection.display_sel = {display_id::arterial_po2,     display_id::arterial_pco2,
                             display_id::respiratory_rate, display_id::tissue_o2_content,
                             display_id::metabolic_rate,   display_id::heart_rate,
                             display_id::venous_ph,        display_id::venous_ph};
    return selection;
}

bool valid_factor_selection(int index) { return index >= -1 && index < num_fct; }

bool valid_display_selection(int index) { return index >= 0 && index < num_dsy; }

bool choose_factor(panel_selection& selection, int row, int index)
{
    if (row < 0 || row >= panel_rows) return false;
    if (!valid_factor_selection(index)) {
        selection.factor_sel[row] = -1;
        return false;
    }
    if (index != -1) {
        for (int j = 0; j < panel_rows; ++j) {
            if (j != row && selection.factor_sel[j] == index) {
                selection.factor_sel[row] = -1;
                return false;
            }
        }
    }
    selection.factor_sel[row] = index;
    return true;
}

float atof_value(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    std::size_t size = static_cast<std::size_t>(bytes.size());
    while (size > 0 && std::isspace(static_cast<unsigned char>(*p))) ++p, --size;
    const double value = scan_c_number(p, size).value;
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

entered_value enter_value(catalogue_record& record, const QString& text, const char* format)
{
    entered_value result;
    const float typed = atof_value(text);
    float clamped = typed;
    if (clamped > record.maximum) clamped = record.maximum;
    if (clamped < record.minimum) clamped = record.minimum;
    record.value = clamped;
    result.stored = clamped;
    result.adjusted = clamped != typed;
    result.text = QString::asprintf(format, static_cast<double>(clamped));
    return result;
}

QString bmi_text()
{
    const float h = height.value;
    const float bmi = 10000.0f * weight.value / (h * h);
    return QString::asprintf("%.1f", static_cast<double>(bmi));
}

passport_texts current_passport_texts()
{
    passport_texts texts;
    texts.sex_index = sex;
    texts.height = QString::asprintf("%.1f", static_cast<double>(height.value));
    texts.weight = QString::asprintf("%.1f", static_cast<double>(weight.value));
    texts.bmi = bmi_text();
    texts.age = QString::asprintf("%.1f", static_cast<double>(age.value));
    return texts;
}

QString factor_value_text(int index)
{
    return QString::asprintf("%.2f", static_cast<double>(factor[index].value));
}

panel_view refresh_panels(const run_state& state, const panel_selection& selection, int t)
{
    panel_view view;
    const QColor black(0, 0, 0);
    const QColor silver(192, 192, 192);
    for (int i = 0; i < panel_rows; ++i) {
        factor_row_view& f = view.factors[i];
        const int index = selection.factor_sel[i];
        if (index < 0 || index >= num_fct) {
            f.selected = -1;
            f.value_text = QString::fromLatin1(empty_factor_text);
            f.value_colour = black;
        } else {
            f.selected = index;
            f.value_text = factor_value_text(index);
            f.value_colour = t == state.sim_time ? black : silver;
            f.unit = from_cp1252(factor[index].unit);
        }
        display_row_view& d = view.displays[i];
        const int shown = selection.display_sel[i];
        if (shown >= 0 && shown < num_dsy) {
            d.selected = shown;
            d.value_text = QString::asprintf("%.2f", history_value(state, shown, history_slot(t)));
            d.unit = from_cp1252(display[shown].unit);
        }
    }
    view.time_text = format_minutes_seconds(t);
    return view;
}

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

float factor_value_in_model_units(int index, bool si_pressure)
{
    if (index < 0 || index >= num_fct) return 0.0f;
    float value = factor[index].value;
    if (si_pressure) {
        for_each_listed(a_f_lst, [&](int, int listed) {
            if (listed == index) value = value * static_cast<float>(to_mmhg_factor);
        });
    }
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
