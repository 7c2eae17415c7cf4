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

// Stage 1: cardiac output and heart rate. Writes display[32] and display[35],
// other[18] (stroke volume) and the flows of the step.
void stage_cardiac_output(step_context& step)
{
    double x = f32(0.056 * dsp(14));
    if (x < 0.4) {
        x = 0.4;
    }
    double co = damp(static_cast<float>((drv(8) + drv(9)) / x), display[32].value, derived[61]);
    // derived[8] is negative when the end-expiratory pressure is high against
    // the lung elastance; a pump cannot run backwards, and a negative output
    // would give a negative stroke volume and no square root in stage 12.
    if (co < 0) {
        co = 0;
    }
    double v = f32(-0.3 * co * co + 11 * co + 30);
    if (co > 20) {
        v = 130;
    }
    set_oth(18, drv(75) * v / 130000);
    // The stroke volume is 0 only when the pump performance is 0, and then the
    // heart has stopped (below): the rate is 0 instead of a division by zero.
    double rate = oth(18) > 0 ? f32(co / oth(18)) : 0;
    if (rate >= drv(74)) {
        rate = drv(74);
        co = f32(drv(74) * oth(18));
    }
    if (fct(8) < 3) {
        co = 0;
        rate = 0;
    } else if (co > fct(20)) {
        co = fct(20);
    }
    set_dsp(32, co);
    set_dsp(35, rate);

    step.cardiac_output = display[32].value;
    step.flow = static_cast<float>(drv(17) * step.cardiac_output);
    step.tissue_flow =
        static_cast<float>(static_cast<double>(step.flow) * (1 - drv(69) * step.cardiac_output));
    step.bypass_flow = static_cast<float>(drv(69) * step.cardiac_output * step.flow);
}

// Stage 3: venous admixture. Writes display[56] and the shunt fractions s, n.
void stage_venous_admixture(step_context& step)
{
    double p = std::min(dsp(4), 200.0);
    if (dsp(4) > 400) {
        p = p - (std::min(dsp(4), 600.0) - 400) * 0.3;
    }
    if (p <= 55) {
        p = 55;
    }
    double admixture = (drv(18) / p + drv(19)) * drv(21) + fct(10);
    set_dsp(56, std::min(admixture, 100.0));
    step.shunt = static_cast<float>(dsp(56) * 0.01);
    step.unshunted = static_cast<float>(1.0 - step.shunt);
}

// Stage 4: arterial pool, one litre of blood mixing capillary and shunted
// blood. Writes display[12], [8], [13] (amounts), [18], [19], [20] (contents
// of blood leaving) and display[14], [9] (arterial contents).
void stage_arterial_pool(const step_context& step)
{
    const double s = step.shunt;
    const double n = step.unshunted;
    const double flow = step.flow;
    set_dsp(12, dsp(12) + (((drv(11) - dsp(4) - dsp(1)) * n + s * dsp(49)) * 0.00127 - dsp(19)) *
                              flow);
    const float mix_co2 = static_cast<float>(s * dsp(60) + n * dsp(37));
    const float mix_o2 = static_cast<float>(s * dsp(62) + n * dsp(38));
    set_dsp(8, dsp(8) + (mix_co2 - dsp(18)) * flow);
    set_dsp(13, dsp(13) + (mix_o2 - dsp(20)) * flow);
    if (step.cardiac_output >= 0.25f) {
        const float w = static_cast<float>(drv(22) * step.cardiac_output);
        display[20].value = damp(static_cast<float>(dsp(13) * 0.1), display[20].value, w);
        display[18].value = damp(static_cast<float>(dsp(8) * 0.1), display[18].value, w);
        display[19].value = damp(static_cast<float>(dsp(12) * 0.1), display[19].value, w);
    }
    // With the heart stopped there is no flow to divide by: the largest
    // weight, 120, holds the contents almost still.
    const float w = step.flow > 0 ? static_cast<float>(1.0 / step.flow) : 120.0f;
    display[14].value = damp(mix_o2, display[14].value, w);
    display[9].value = damp(mix_co2, display[9].value, w);
}

// Stage 9: venous pool, the slow acid load, the venous delay line and the
// venous pH. Writes display[59], [61], [57], [62], [60], [58], [63] (and
// [44] through the delay line), other[13] and other[14]. Returns 0 or code 4.
int stage_venous_pool(step_context& step)
{
    const double flow = step.flow;
    const double tissue = step.tissue_flow;
    const double bypass = step.bypass_flow;
    set_dsp(59, dsp(59) + tissue * dsp(43) - (dsp(60) * drv(14) - dsp(9) * fct(17)) * flow +
                    bypass * dsp(18));
    set_dsp(61, dsp(61) + tissue * dsp(52) - (dsp(62) * drv(14) - dsp(14) * fct(17)) * flow +
                    bypass * dsp(20));
    set_dsp(57, dsp(57) + (oth(14) * drv(13) - dsp(57) * drv(1)) * (tissue * 0.1) + fct(1));

    const double z = f32(oth(13) * drv(10));
    set_oth(13, oth(13) - fct(1) + step.lactate_change - z);
    set_oth(14, oth(14) - step.tissue_pco2_change * drv(64) + z * 0.67);

    set_dsp(62, dsp(61) * drv(2));
    set_dsp(60, dsp(59) * drv(2));
    venous_delay(step.cardiac_output);

    set_dsp(58, dsp(57) * drv(1) + (step.tissue_pco2 - 40.0) * drv(3));
    if (display[58].value <= 0) {
        return 4;
    }
    // The delayed tissue PCO2 comes from a step whose stage 8 kept it
    // positive, or from a loaded subject; a loaded 0 has no pH, so the pH
    // keeps its value until a positive tension arrives.
    if (display[44].value > 0) {
        set_dsp(63, blood_ph(dsp(58), dsp(44)));
    }
    return 0;
}

void venous_delay(float c)
{
    venous_delay_slot current{display[62].value, display[60].value, display[57].value,
                              display[44].value};
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
    display[62].value = delayed.o2_content;
    display[60].value = delayed.co2_content;
    display[57].value = delayed.bicarbonate;
    display[44].value = delayed.tissue_pco2;
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
    // Stage 2: 2,3-DPG drift (factor[0]).
    stage_dpg_drift();
    // Stage 3: venous admixture (display[56]).
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
    const int code = run_stages(pressure_changed);
    remember_alveolar_pressures();
    // A value that is not a number would otherwise be recorded and saved as
    // if the step had succeeded: code 9 stops the run instead.
    return end_finite_watch(code);
}
