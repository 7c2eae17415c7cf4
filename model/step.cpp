// SPDX-License-Identifier: Apache-2.0
// The one-second step: model() runs the thirteen stages in their fixed order.
// This file holds the circulation stages (cardiac output, venous admixture,
// arterial pool, venous pool) and the venous delay line; the blood chemistry,
// lungs, tissues and brain have their own files.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "step_internal.h"

// Delay of the venous return in steps against cardiac output.
const table_point venous_delay_table[5] = {
    {1.5f, 25}, {2.5f, 22.5f}, {5, 20}, {11.5f, 16}, {25, 10},
};

venous_delay_slot venous_delay_line[venous_delay_slots];
int venous_delay_write = 0;

// Stage 1: cardiac output and heart rate. Writes cardiac_output and heart_rate,
// stroke_volume and the flows of the step.
void stage_cardiac_output(step_context& step)
{
    double x = f32(0.056 * dsp(display_id::arterial_o2_content));
    if (x < 0.4) {
        x = 0.4;
    }
    double co =
        damp(static_cast<float>(
                 (drv(derived_id::cardiac_output_base) + drv(derived_id::cardiac_output_exercise)) / x),
             display[display_id::cardiac_output].value, derived[derived_id::cardiac_output_lag]);
    // cardiac_output_base is negative when the end-expiratory pressure is high against
    // the lung elastance; a pump cannot run backwards, and a negative output
    // would give a negative stroke volume and no square root in stage 12.
    if (co < 0) {
        co = 0;
    }
    double v = f32(-0.3 * co * co + 11 * co + 30);
    if (co > 20) {
        v = 130;
    }
    set_oth(other_id::stroke_volume, drv(derived_id::stroke_volume_scale) * v / 130000);
    // The stroke volume is 0 only when the pump performance is 0, and then the
    // heart has stopped (below): the rate is 0 instead of a division by zero.
    double rate = oth(other_id::stroke_volume) > 0 ? f32(co / oth(other_id::stroke_volume)) : 0;
    if (rate >= drv(derived_id::max_heart_rate)) {
        rate = drv(derived_id::max_heart_rate);
        co = f32(drv(derived_id::max_heart_rate) * oth(other_id::stroke_volume));
    }
    if (fct(factor_id::cardiac_performance) < 3) {
        co = 0;
        rate = 0;
    } else if (co > fct(factor_id::max_cardiac_output)) {
        co = fct(factor_id::max_cardiac_output);
    }
    set_dsp(display_id::cardiac_output, co);
    set_dsp(display_id::heart_rate, rate);

    step.cardiac_output = display[display_id::cardiac_output].value;
    step.flow = static_cast<float>(drv(derived_id::flow_per_cardiac_output) * step.cardiac_output);
    step.tissue_flow = static_cast<float>(static_cast<double>(step.flow) *
                                          (1 - drv(derived_id::fitness_bypass) * step.cardiac_output));
    step.bypass_flow = static_cast<float>(drv(derived_id::fitness_bypass) * step.cardiac_output * step.flow);
}

// Stage 3: venous admixture. Writes total_venous_admixture and the shunt fractions s, n.
void stage_venous_admixture(step_context& step)
{
    double p = std::min(dsp(display_id::alveolar_po2), 200.0);
    if (dsp(display_id::alveolar_po2) > 400) {
        p = p - (std::min(dsp(display_id::alveolar_po2), 600.0) - 400) * 0.3;
    }
    if (p <= 55) {
        p = 55;
    }
    double admixture = (drv(derived_id::admixture_base) / p + drv(derived_id::admixture_exercise)) *
                           drv(derived_id::admixture_peep_scale) +
                       fct(factor_id::right_to_left_shunt);
    set_dsp(display_id::total_venous_admixture, std::min(admixture, 100.0));
    step.shunt = static_cast<float>(dsp(display_id::total_venous_admixture) * 0.01);
    step.unshunted = static_cast<float>(1.0 - step.shunt);
}

// Stage 4: arterial pool, one litre of blood mixing capillary and shunted blood. Writes
// arterial_pn2, arterial_co2_amount, arterial_o2_amount (amounts), arterial_pool_co2_content,
// arterial_pool_n2_content, arterial_pool_o2_content (contents of blood leaving) and
// arterial_o2_content, arterial_co2_content (arterial contents).
void stage_arterial_pool(const step_context& step)
{
    const double s = step.shunt;
    const double n = step.unshunted;
    const double flow = step.flow;
    set_dsp(display_id::arterial_pn2,
            dsp(display_id::arterial_pn2) + (((drv(derived_id::dry_pressure) - dsp(display_id::alveolar_po2) -
                                               dsp(display_id::alveolar_pco2)) *
                                                  n +
                                              s * dsp(display_id::tissue_pn2_fast)) *
                                                 0.00127 -
                                             dsp(display_id::arterial_pool_n2_content)) *
                                                flow);
    const float mix_co2 = static_cast<float>(s * dsp(display_id::venous_co2_content) +
                                             n * dsp(display_id::capillary_co2_content));
    const float mix_o2 = static_cast<float>(s * dsp(display_id::venous_o2_content) +
                                            n * dsp(display_id::capillary_o2_content));
    set_dsp(
        display_id::arterial_co2_amount,
        dsp(display_id::arterial_co2_amount) + (mix_co2 - dsp(display_id::arterial_pool_co2_content)) * flow);
    set_dsp(display_id::arterial_o2_amount, dsp(display_id::arterial_o2_amount) +
                                                (mix_o2 - dsp(display_id::arterial_pool_o2_content)) * flow);
    if (step.cardiac_output >= 0.25f) {
        const float w = static_cast<float>(drv(derived_id::arterial_pool_lag_scale) * step.cardiac_output);
        display[display_id::arterial_pool_o2_content].value =
            damp(static_cast<float>(dsp(display_id::arterial_o2_amount) * 0.1),
                 display[display_id::arterial_pool_o2_content].value, w);
        display[display_id::arterial_pool_co2_content].value =
            damp(static_cast<float>(dsp(display_id::arterial_co2_amount) * 0.1),
                 display[display_id::arterial_pool_co2_content].value, w);
        display[display_id::arterial_pool_n2_content].value =
            damp(static_cast<float>(dsp(display_id::arterial_pn2) * 0.1),
                 display[display_id::arterial_pool_n2_content].value, w);
    }
    // With the heart stopped there is no flow to divide by: the largest
    // weight, 120, holds the contents almost still.
    const float w = step.flow > 0 ? static_cast<float>(1.0 / step.flow) : 120.0f;
    display[display_id::arterial_o2_content].value =
        damp(mix_o2, display[display_id::arterial_o2_content].value, w);
    display[display_id::arterial_co2_content].value =
        damp(mix_co2, display[display_id::arterial_co2_content].value, w);
}

// Stage 9: venous pool, the slow acid load, the venous delay line and the venous pH. Writes
// venous_co2_amount, venous_o2_amount, venous_bicarbonate_amount, venous_o2_content,
// venous_co2_content, venous_bicarbonate, venous_ph (and tissue_pco2 through the delay line),
// slow_acid_load and tissue_bicarbonate_amount. Returns 0 or code 4.
int stage_venous_pool(step_context& step)
{
    const double flow = step.flow;
    const double tissue = step.tissue_flow;
    const double bypass = step.bypass_flow;
    set_dsp(display_id::venous_co2_amount,
            dsp(display_id::venous_co2_amount) + tissue * dsp(display_id::tissue_co2_content) -
                (dsp(display_id::venous_co2_content) * drv(derived_id::pulmonary_flow_ratio) -
                 dsp(display_id::arterial_co2_content) * fct(factor_id::left_to_right_shunt)) *
                    flow +
                bypass * dsp(display_id::arterial_pool_co2_content));
    set_dsp(display_id::venous_o2_amount,
            dsp(display_id::venous_o2_amount) + tissue * dsp(display_id::tissue_o2_content) -
                (dsp(display_id::venous_o2_content) * drv(derived_id::pulmonary_flow_ratio) -
                 dsp(display_id::arterial_o2_content) * fct(factor_id::left_to_right_shunt)) *
                    flow +
                bypass * dsp(display_id::arterial_pool_o2_content));
    set_dsp(display_id::venous_bicarbonate_amount,
            dsp(display_id::venous_bicarbonate_amount) +
                (oth(other_id::tissue_bicarbonate_amount) * drv(derived_id::tissue_bicarbonate_scale) -
                 dsp(display_id::venous_bicarbonate_amount) * drv(derived_id::venous_bicarbonate_scale)) *
                    (tissue * 0.1) +
                fct(factor_id::bicarbonate_addition));

    const double z = f32(oth(other_id::slow_acid_load) * drv(derived_id::slow_acid_rate));
    set_oth(other_id::slow_acid_load,
            oth(other_id::slow_acid_load) - fct(factor_id::bicarbonate_addition) + step.lactate_change - z);
    set_oth(other_id::tissue_bicarbonate_amount,
            oth(other_id::tissue_bicarbonate_amount) -
                step.tissue_pco2_change * drv(derived_id::tissue_co2_buffer) + z * 0.67);

    set_dsp(display_id::venous_o2_content,
            dsp(display_id::venous_o2_amount) * drv(derived_id::venous_content_scale));
    set_dsp(display_id::venous_co2_content,
            dsp(display_id::venous_co2_amount) * drv(derived_id::venous_content_scale));
    venous_delay(step.cardiac_output);

    set_dsp(display_id::venous_bicarbonate,
            dsp(display_id::venous_bicarbonate_amount) * drv(derived_id::venous_bicarbonate_scale) +
                (step.tissue_pco2 - 40.0) * drv(derived_id::bicarbonate_per_pco2));
    if (display[display_id::venous_bicarbonate].value <= 0) {
        return failure_code::venous_bicarbonate_gone;
    }
    // The delayed tissue PCO2 comes from a step whose stage 8 kept it
    // positive, or from a loaded subject; a loaded 0 has no pH, so the pH
    // keeps its value until a positive tension arrives.
    if (display[display_id::tissue_pco2].value > 0) {
        set_dsp(display_id::venous_ph,
                blood_ph(dsp(display_id::venous_bicarbonate), dsp(display_id::tissue_pco2)));
    }
    return 0;
}

void venous_delay(float c)
{
    venous_delay_slot current{
        display[display_id::venous_o2_content].value, display[display_id::venous_co2_content].value,
        display[display_id::venous_bicarbonate_amount].value, display[display_id::tissue_pco2].value};
    if (c < 0) {
        std::fill(std::begin(venous_delay_line), std::end(venous_delay_line), current);
        venous_delay_write = 0;
        return;
    }
    venous_delay_line[venous_delay_write] = current;
    const double steps = std::floor(interpolate(c, venous_delay_table, 5) + 0.5);
    // The table keeps the delay within 10..25 steps; an output that is not a
    // number (only from a state already broken) reads the longest delay
    // rather than an undefined slot.
    const int delay = steps >= 10 && steps <= 25 ? static_cast<int>(steps) : 25;
    int read = venous_delay_write - delay;
    if (read < 0) {
        read += venous_delay_slots;
    }
    const venous_delay_slot& delayed = venous_delay_line[read];
    display[display_id::venous_o2_content].value = delayed.o2_content;
    display[display_id::venous_co2_content].value = delayed.co2_content;
    display[display_id::venous_bicarbonate_amount].value = delayed.bicarbonate;
    display[display_id::tissue_pco2].value = delayed.tissue_pco2;
    venous_delay_write = (venous_delay_write + 1) % venous_delay_slots;
}

namespace {

// The thirteen stages; 0 or the failure code of the stage that stopped.
[[gnu::noinline]] int run_stages(bool pressure_changed)
{
    step_context step;
    step.pressure_changed = pressure_changed;

    // Stage 1: cardiac output, heart rate, stroke volume, flows.
    stage_cardiac_output(step);
    // Stage 2: 2,3-DPG drift (dpg).
    stage_dpg_drift();
    // Stage 3: venous admixture (total_venous_admixture).
    stage_venous_admixture(step);
    // Stage 4: arterial pool mixing capillary and shunted blood.
    stage_arterial_pool(step);
    // Stage 5: arterial bicarbonate, pH and gas tensions.
    if (int code = stage_arterial_blood()) {
        return code;
    }
    // Stage 6: tissue O2, anaerobic metabolism, lactate.
    if (int code = stage_tissue_oxygen(step)) {
        return code;
    }
    // Stage 7: tissue nitrogen and bubbles.
    stage_nitrogen(step);
    // Stage 8: tissue CO2 stores, bicarbonate and pH.
    if (int code = stage_tissue_co2(step)) {
        return code;
    }
    // Stage 9: venous pool, acid loads, delay line, venous pH.
    if (int code = stage_venous_pool(step)) {
        return code;
    }
    // Stage 10: alveolar gas and the bag.
    if (int code = stage_alveolar_gas(step)) {
        return code;
    }
    // Stage 11: pulmonary capillary blood.
    if (int code = stage_capillary_blood()) {
        return code;
    }
    // Stage 12: brain blood flow, gases and chemoreceptor pH.
    stage_brain(step);
    // Stage 13: control of breathing.
    stage_breathing_control(step);
    return 0;
}

}  // namespace

int32_t model()
{
    start_finite_watch();
    const bool pressure_changed = follow_dry_pressure();
    follow_blood_make_up();
    const int code = run_stages(pressure_changed);
    remember_alveolar_pressures();
    remember_arterial_contents();
    // A value that is not a number would otherwise be recorded and saved as
    // if the step had succeeded: code 9 stops the run instead.
    return end_finite_watch(code);
}
