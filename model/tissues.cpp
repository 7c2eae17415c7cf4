// SPDX-License-Identifier: Apache-2.0
// Tissue, nitrogen and brain compartments: stages 6, 7, 8 and 12 of the step.
#include <algorithm>
#include <cmath>

#include "step_internal.h"

// Tissue respiratory quotient against O2 uptake (ml per minute).
const table_point respiratory_quotient_table[5] = {
    {250, 0.8f}, {450, 0.86f}, {1320, 0.87f}, {2100, 0.9f}, {3150, 1.0f},
};

// Lactate clearance factor against O2 uptake (ml per minute).
const table_point lactate_clearance_table[10] = {
    {450, 0.27f}, {578, 0.28f},  {626, 0.402f}, {730, 1.99f}, {734, 2.0f},
    {860, 8.0f},  {1010, 14.0f}, {1130, 23.5f}, {2500, 5.5f}, {3500, 0.35f},
};

namespace {

// O2 uptake of the previous step in ml per minute, the key of both tables.
float uptake_per_minute() { return static_cast<float>(60.0 * oth(other_id::o2_uptake_per_step)); }

}  // namespace

// Stage 6: tissue O2, aerobic and anaerobic metabolism, lactate. Writes tissue_o2_amount,
// tissue_po2, tissue_lactate, arterial_lactate, anaerobic_o2_credit, and passes on the O2 use u and
// the net lactate change L. Returns 0 or code 2.
int stage_tissue_oxygen(step_context& step)
{
    const double co = step.cardiac_output;
    const double u = f32(
        (std::pow(std::fabs(oth(other_id::ventilation_demand)), drv(derived_id::breathing_work_exponent)) *
             drv(derived_id::breathing_work_scale) +
         co + drv(derived_id::o2_consumption)) /
        60);
    step.o2_use = static_cast<float>(u);

    set_dsp(display_id::tissue_o2_amount,
            dsp(display_id::tissue_o2_amount) +
                (dsp(display_id::arterial_pool_o2_content) - dsp(display_id::tissue_o2_content)) *
                    step.tissue_flow -
                u + oth(other_id::anaerobic_o2_credit));
    if (display[display_id::tissue_o2_amount].value <= 0) {
        return failure_code::tissue_o2_gone;
    }
    display[display_id::tissue_po2].value =
        damp(static_cast<float>(dsp(display_id::tissue_o2_amount) * drv(derived_id::tissue_po2_scale)),
             display[display_id::tissue_po2].value, derived[derived_id::short_lag]);
    if (display[display_id::tissue_o2_amount].value > 250) {
        set_dsp(display_id::tissue_po2, 45 + 0.09 * (dsp(display_id::tissue_o2_amount) - 250));
    }

    // Clearance of lactate.
    const double b = f32(dsp(display_id::arterial_lactate) * drv(derived_id::lactate_clearance_rate));
    const double f = f32(std::min(dsp(display_id::brain_blood_flow) * 0.019, 1.0));
    const double g = f32(std::min(dsp(display_id::tissue_ph) * 10 - 69, f));
    double c = f32(
        std::min(g * 0.8612 * b + std::pow(2.0, (8 - dsp(display_id::tissue_ph)) * 3.33) * 0.0232 * b, 0.3));
    c = f32(c + b * interpolate(uptake_per_minute(), lactate_clearance_table, 10));

    // Production of lactate. f is a share of flow; a brain flow driven below
    // zero by strong alkalosis would bring f + 0.3 to zero, so f counts as
    // no less than 0 here.
    double p = f32(drv(derived_id::lactate_production_scale) / (std::max(f, 0.0) + 0.3));
    if (dsp(display_id::tissue_po2) < drv(derived_id::hypoxic_po2_threshold)) {
        const double k = f32(drv(derived_id::hypoxic_po2_threshold) - dsp(display_id::tissue_po2));
        p = f32(p + std::pow(k + 1, 4) * drv(derived_id::hypoxic_lactate_rate));
        c = f32(c * dsp(display_id::tissue_po2) * 0.04);
    }
    const double a = f32(std::min((p - drv(derived_id::anaerobic_threshold)) * 2.04, u));
    other[other_id::anaerobic_o2_credit] = damp(static_cast<float>(a), other[other_id::anaerobic_o2_credit],
                                                derived[derived_id::anaerobic_credit_lag]);
    p = std::min(p, drv(derived_id::max_lactate_production));
    if (co < drv(derived_id::clearance_cardiac_output)) {
        c = f32(c * co / drv(derived_id::clearance_cardiac_output));
    }
    const double L = f32(p - c);
    step.lactate_change = static_cast<float>(L);
    set_dsp(display_id::tissue_lactate, dsp(display_id::tissue_lactate) + L);
    // A stopped heart gives the largest weight instead of a division by zero.
    const float w = co > 0 ? static_cast<float>(drv(derived_id::short_lag) / co) : 120.0f;
    display[display_id::arterial_lactate].value = damp(
        static_cast<float>(dsp(display_id::tissue_lactate) * drv(derived_id::lactate_concentration_scale)),
        display[display_id::arterial_lactate].value, w);
    return 0;
}

// Stage 7: the fast and slow tissue nitrogen compartments and the excess nitrogen held as bubbles.
// Writes tissue_n2_fast, tissue_n2_slow, tissue_pn2_fast, tissue_pn2_slow, excess_n2,
// decompression_risk.
void stage_nitrogen(const step_context& step)
{
    const double x = f32((dsp(display_id::tissue_pn2_fast) - dsp(display_id::tissue_pn2_slow)) *
                         drv(derived_id::n2_exchange_rate));
    set_dsp(display_id::tissue_n2_fast,
            dsp(display_id::tissue_n2_fast) +
                (dsp(display_id::arterial_pool_n2_content) - dsp(display_id::tissue_pn2_fast) * 0.00127) *
                    step.tissue_flow -
                x);
    set_dsp(display_id::tissue_n2_slow, dsp(display_id::tissue_n2_slow) + x);
    double y = f32((dsp(display_id::tissue_n2_slow) * drv(derived_id::slow_n2_pressure_scale) -
                    drv(derived_id::dry_pressure)) *
                   drv(derived_id::n2_bubble_rate));
    const bool supersaturated = y > 0;
    if (supersaturated || display[display_id::excess_n2].value > 0) {
        if (!supersaturated) {
            y = f32(y * 0.3);  // bubbles dissolve at three tenths of the rate
        }
        set_dsp(display_id::tissue_n2_slow, dsp(display_id::tissue_n2_slow) - y);
        // Dissolving can take the excess below zero when less was held than
        // one step dissolves; a negative excess holds no bubbles, so it counts
        // as zero in the risk index (no power of a negative number).
        set_dsp(display_id::decompression_risk, std::pow(std::max(dsp(display_id::excess_n2), 0.0), 1.2) *
                                                    drv(derived_id::decompression_risk_scale));
        set_dsp(display_id::excess_n2, dsp(display_id::excess_n2) + y);
    }
    set_dsp(display_id::tissue_pn2_slow,
            dsp(display_id::tissue_n2_slow) * drv(derived_id::slow_n2_pressure_scale));
    set_dsp(display_id::tissue_pn2_fast,
            dsp(display_id::tissue_n2_fast) * drv(derived_id::fast_n2_pressure_scale));
}

// Stage 8: tissue CO2 stores, tissue bicarbonate and pH. Writes tissue_rq, tissue_co2_stores,
// tissue_pco2, tissue_bicarbonate, tissue_ph, tissue_o2_content, tissue_co2_content,
// previous_tissue_pco2, tissue_bicarbonate_amount, and passes on the tissue PCO2 and its change.
// Returns 0 or code 3.
int stage_tissue_co2(step_context& step)
{
    factor[factor_id::tissue_rq].value = interpolate(uptake_per_minute(), respiratory_quotient_table, 5);
    set_dsp(display_id::tissue_co2_stores,
            dsp(display_id::tissue_co2_stores) +
                (fct(factor_id::tissue_rq) * step.o2_use +
                 (dsp(display_id::arterial_pool_co2_content) - dsp(display_id::tissue_co2_content)) *
                     step.tissue_flow) *
                    0.001);
    double pco2 = (dsp(display_id::tissue_co2_stores) * drv(derived_id::tissue_co2_store_scale) -
                   oth(other_id::tissue_bicarbonate_amount) * drv(derived_id::tissue_bicarbonate_pco2_scale) +
                   drv(derived_id::tissue_pco2_offset)) *
                  drv(derived_id::tissue_pco2_scale);
    // Stores run down far enough (strong hyperventilation) would give a
    // tension of zero or less, which has no pH and no blood contents; the
    // tension is held at the blood solver's floor of 0.1 mm Hg.
    if (pco2 < 0.1) {
        pco2 = 0.1;
    }
    set_dsp(display_id::tissue_pco2, pco2);
    step.tissue_pco2 = display[display_id::tissue_pco2].value;
    step.tissue_pco2_change =
        static_cast<float>(dsp(display_id::tissue_pco2) - oth(other_id::previous_tissue_pco2));
    other[other_id::previous_tissue_pco2] = display[display_id::tissue_pco2].value;

    set_oth(other_id::tissue_bicarbonate_amount,
            oth(other_id::tissue_bicarbonate_amount) +
                (dsp(display_id::venous_bicarbonate_amount) * drv(derived_id::venous_bicarbonate_scale) -
                 oth(other_id::tissue_bicarbonate_amount) * drv(derived_id::tissue_bicarbonate_scale)) *
                    step.tissue_flow * 0.1 -
                step.lactate_change);
    set_dsp(display_id::tissue_bicarbonate,
            oth(other_id::tissue_bicarbonate_amount) * drv(derived_id::tissue_bicarbonate_scale) +
                (dsp(display_id::tissue_pco2) - 40) * drv(derived_id::bicarbonate_per_pco2));
    if (display[display_id::tissue_bicarbonate].value <= 0) {
        return failure_code::tissue_bicarbonate_gone;
    }
    set_dsp(display_id::tissue_ph,
            blood_ph(dsp(display_id::tissue_bicarbonate), dsp(display_id::tissue_pco2)));
    float saturation = 0;
    blood_contents(display[display_id::tissue_ph].value, display[display_id::tissue_po2].value,
                   display[display_id::tissue_pco2].value, display[display_id::tissue_o2_content].value,
                   display[display_id::tissue_co2_content].value, saturation);
    return 0;
}

// Stage 12: brain blood flow, brain O2 and CO2, brain bicarbonate deviation and the central
// chemoreceptor pH. Writes brain_blood_flow, brain_co2_amount, brain_co2_content, brain_pco2,
// brain_o2_amount, brain_o2_content, brain_po2, brain_ph and brain_bicarbonate_deviation.
void stage_brain(const step_context& step)
{
    const double a = f32(std::min(std::sqrt(static_cast<double>(step.cardiac_output)) * 0.5, 1.0));
    double e = f32((7.4 - dsp(display_id::brain_ph)) * (dsp(display_id::brain_pco2) * 0.0184 -
                                                        fct(factor_id::brain_bicarbonate_deviation) * 0.1));
    if (e > 0) {
        e = f32(300 * e * e);
    }
    e = std::min(e, 4.4);
    display[display_id::brain_blood_flow].value =
        damp(static_cast<float>((e - 0.12) * 42.5 * a),
             static_cast<float>(dsp(display_id::brain_blood_flow) * a), derived[derived_id::short_lag]);
    const double q = f32(dsp(display_id::brain_blood_flow) * drv(derived_id::brain_flow_scale));

    const double m = f32((oth(other_id::brain_oxygenation) + 0.25) * drv(derived_id::brain_metabolism));
    double mo = m;
    double mc = m;
    if (display[display_id::brain_po2].value <= 18) {
        mo = f32(std::max((dsp(display_id::brain_po2) * 0.11 - 1) * m, 0.0));
        mc = f32((19 - dsp(display_id::brain_po2)) * m);
    }
    set_dsp(display_id::brain_o2_amount,
            dsp(display_id::brain_o2_amount) +
                (dsp(display_id::arterial_o2_content) - dsp(display_id::brain_o2_content)) * q -
                2 * mo * (oth(other_id::brain_oxygenation) + 0.1));
    if (display[display_id::brain_o2_amount].value <= 0) {
        display[display_id::brain_o2_amount].value = 0.1f;
    }
    set_dsp(display_id::brain_co2_amount,
            dsp(display_id::brain_co2_amount) +
                (dsp(display_id::arterial_co2_content) - dsp(display_id::brain_co2_content)) * q + 2.15 * mc);
    set_dsp(display_id::brain_po2, dsp(display_id::brain_o2_amount) * 1.6);
    set_dsp(display_id::brain_pco2, dsp(display_id::brain_co2_amount) * 0.078);
    // A brain CO2 amount washed out to zero or below has no tension, pH or
    // blood contents; the tension is held at the blood solver's floor.
    if (display[display_id::brain_pco2].value < 0.1f) {
        display[display_id::brain_pco2].value = 0.1f;
    }

    const double h = f32(dsp(display_id::brain_bicarbonate) + fct(factor_id::brain_bicarbonate_deviation) +
                         0.2 * (dsp(display_id::brain_pco2) - 40));
    set_fct(factor_id::brain_bicarbonate_deviation, fct(factor_id::brain_bicarbonate_deviation) +
                                                        ((dsp(display_id::arterial_bicarbonate) - 24) * 0.3 -
                                                         fct(factor_id::brain_bicarbonate_deviation)) *
                                                            drv(derived_id::hypoxic_lactate_rate));

    // Two parts brain to one part arterial, for bicarbonate and for PCO2. A
    // combined bicarbonate of zero or less has no pH: the chemoreceptor then
    // keeps its pH (the target is its present value).
    const double bicarbonate = 2 * h + dsp(display_id::arterial_bicarbonate);
    const double c =
        bicarbonate > 0
            ? f32(blood_ph(bicarbonate, 2 * dsp(display_id::brain_pco2) + dsp(display_id::arterial_pco2)))
            : dsp(display_id::brain_ph);
    const double d = std::fabs(c - dsp(display_id::brain_ph)) * 100;
    const double k = f32(std::min(d * d + 0.04, drv(derived_id::flow_per_cardiac_output)));
    display[display_id::brain_ph].value =
        damp(static_cast<float>(c), display[display_id::brain_ph].value, static_cast<float>(1 / k));

    // Brain venous blood; without positive bicarbonate it has no pH and the
    // contents of blood leaving keep their values.
    const double venous_bicarbonate =
        (dsp(display_id::brain_pco2) - 40) * drv(derived_id::bicarbonate_per_pco2) +
        dsp(display_id::venous_bicarbonate_amount) * drv(derived_id::venous_bicarbonate_scale);
    if (venous_bicarbonate > 0) {
        const float v = static_cast<float>(blood_ph(venous_bicarbonate, dsp(display_id::brain_pco2)));
        float saturation = 0;
        blood_contents(v, display[display_id::brain_po2].value, display[display_id::brain_pco2].value,
                       display[display_id::brain_o2_content].value,
                       display[display_id::brain_co2_content].value, saturation);
    }
}
