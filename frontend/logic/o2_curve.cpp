// SPDX-License-Identifier: Apache-2.0
#include "o2_curve.h"

#include <cmath>
#include <limits>

#include "blood_o2.h"
#include "catalogue_view.h"
#include "pressure_units.h"
#include "slot_ids.h"

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// Display rows read from the history (the arterial saturation in per cent).
using display_id::arterial_o2_content;
using display_id::arterial_pco2;
using display_id::arterial_ph;
using display_id::arterial_po2;
using display_id::arterial_saturation;
using display_id::venous_o2_content;

// Bisection halves the bracket 60 times: far below a float's resolution.
constexpr int bisection_rounds = 60;

// The PO2 in [0, curve_search_max_mmhg] where value_at crosses target,
// for a value that rises with PO2.
template <typename F>
double rising_crossing(F value_at, double target)
{
    double low = 0, high = curve_search_max_mmhg;
    for (int round = 0; round < bisection_rounds; ++round) {
        const double middle = (low + high) / 2;
        if (value_at(middle) < target)
            low = middle;
        else
            high = middle;
    }
    return (low + high) / 2;
}

}  // namespace

curve_conditions standard_curve_conditions()
{
    return {7.4f, 40, 37, standard_factor_value(factor_id::dpg),
            standard_factor_value(factor_id::haemoglobin)};
}

curve_point curve_at(const curve_conditions& c, double po2)
{
    const std::optional<blood_o2> blood =
        blood_o2_at(static_cast<float>(po2), c.pco2, c.ph, c.temperature, c.dpg, c.haemoglobin);
    if (!blood) return {po2, not_a_number, not_a_number};
    return {po2, blood->saturation, blood->content};
}

std::vector<curve_point> curve_points(const curve_conditions& conditions, double po2_max, int intervals)
{
    std::vector<curve_point> points;
    if (intervals < 1) return points;
    points.reserve(static_cast<size_t>(intervals) + 1);
    for (int i = 0; i <= intervals; ++i) points.push_back(curve_at(conditions, po2_max * i / intervals));
    return points;
}

double p50(const curve_conditions& conditions)
{
    const auto saturation = [&](double po2) { return curve_at(conditions, po2).saturation; };
    if (!(saturation(curve_search_max_mmhg) >= 0.5)) return not_a_number;
    return rising_crossing(saturation, 0.5);
}

double po2_for_content(const curve_conditions& conditions, double content)
{
    const auto content_at = [&](double po2) { return curve_at(conditions, po2).content; };
    if (!(content > content_at(0))) return 0;
    if (!(content < content_at(curve_search_max_mmhg))) return curve_search_max_mmhg;
    return rising_crossing(content_at, content);
}

o2_curve_view o2_curve_view_at(const run_state& state, int t)
{
    o2_curve_view view;
    view.time = t;
    view.in_the_past = t != state.sim_time;
    view.si_pressure = state.si_pressure;
    const auto recorded = [&](int row, int second) {
        return recorded_sample(state, row, history_slot(second));
    };
    const std::span<const catalogue_record> factors = factor_records();
    view.subject = {recorded(arterial_ph, t), recorded(arterial_pco2, t),
                    factors[factor_id::body_temperature].value, factors[factor_id::dpg].value,
                    factors[factor_id::haemoglobin].value};
    view.standard = standard_curve_conditions();
    view.arterial = {recorded(arterial_po2, t), recorded(arterial_saturation, t) / 100.0,
                     recorded(arterial_o2_content, t)};
    const double venous_content = recorded(venous_o2_content, t);
    view.venous = curve_at(view.subject, po2_for_content(view.subject, venous_content));
    view.venous.content = venous_content;
    view.subject_p50 = p50(view.subject);
    view.standard_p50 = p50(view.standard);
    return view;
}

QString o2_curve_summary(const o2_curve_view& view)
{
    const QString p50_text = !std::isfinite(view.subject_p50) ? QStringLiteral("-")
                             : view.si_pressure ? QString::asprintf("%.2f kPa", mmhg_to_kpa(view.subject_p50))
                                                : QString::asprintf("%.1f mm Hg", view.subject_p50);
    return QStringLiteral("P50 %1    arterial O2 content %2 ml/100 ml    venous O2 content %3 ml/100 ml")
        .arg(p50_text, QString::asprintf("%.2f", view.arterial.content),
             QString::asprintf("%.2f", view.venous.content));
}
