// Lung gas exchange and the control of breathing: stages 10, 11 and 13 of the
// step.
#include <algorithm>
#include <cmath>

#include "step_internal.h"

bool natural_breathing()
{
    return static_cast<uint8_t>(ventilation_flag) != 0;
}

namespace {

// O2 consumption (derived[7], ml STPD per minute) above which the
// inspiratory weight is drawn down, and at which it is 1. The standard
// subject consumes 2059 ml/min at 150 W, 2117 at 155 W and 2210 at 160 W.
constexpr double stiff_exchange_start = 2070;
constexpr double stiff_exchange_full = 2200;

}  // namespace

// An inspiratory weight t above 1 sets the alveolar pressures beyond the
// inspired gas. That is harmless while the blood of one step exchanges with
// a small part of the alveolar gas. In hard exercise (from about 155 W for
// the standard subject) the cardiac output nears its limit and some 4 dl of
// blood meet about 2.5 l of gas in each one-second step; the CO2 it
// exchanges and the CO2 expired are both reckoned from the last second's
// alveolar PCO2, and the overshoot then makes each second overcorrect the
// last: the alveolar PCO2 swings with a growing 7-s period until it falls to
// zero. Over a band of O2 consumption the weight is drawn smoothly down to 1.
// The band is judged on the run's O2 consumption, which no step changes:
// judged on the cardiac output or the alveolar gas, which swing with the
// PCO2, the weight would itself feed the swing. The steady state does not
// depend on t, so the values a run settles to stay as they were; below the
// band (at rest and up to 150 W) nothing changes.
double inspiratory_weight_for_consumption(double t, double o2_consumption)
{
    if (!(o2_consumption > stiff_exchange_start)) {
        return t;
    }
    const double kept = std::max((stiff_exchange_full - o2_consumption) /
                                     (stiff_exchange_full - stiff_exchange_start),
                                 0.0);
    return f32(1 + (t - 1) * kept);
}

// Stage 10: alveolar gas through one second: inspiration, exchange with the
// capillary blood, expiration or refilling, and the bag. Writes display[0],
// [1], [2], [3], [4], [39], [55] (expired fraction), other[7], other[8] and
// the dead-space correction. Returns 0 or code 5, 6 or 7.
int stage_alveolar_gas(step_context& step)
{
    const double q = f32(step.flow * drv(14) * step.unshunted);
    const double dry = drv(11);

    // Inspiration.
    const double v = f32(oth(0) * drv(12));
    const double o2_in = f32(v * fct(16));
    const double co2_in = f32(v * fct(15));
    const double m = f32(100 - fct(16) - fct(15));
    set_dsp(3, dsp(3) + o2_in);
    set_dsp(0, dsp(0) + co2_in);
    set_dsp(2, dsp(2) + v * m);
    const double A = f32(dsp(3) + dsp(0) + dsp(2));
    // Inspired percentages above 100 in all (each is allowed up to 100) can
    // leave no gas at all in the lungs; then no alveolar pressure is
    // positive, which is what code 6 reports.
    if (A <= 0) {
        return 6;
    }
    const double pi_o2 = f32(dsp(3) * dry / A);
    const double pi_co2 = f32(dsp(0) * dry / A);

    // Exchange with the capillary blood.
    set_dsp(3, dsp(3) + (dsp(62) - dsp(38)) * q);
    set_dsp(0, dsp(0) + (dsp(60) - dsp(37)) * q);
    set_dsp(2, dsp(2) + (dsp(49) * 0.00127 - dsp(19)) * q);
    float B = static_cast<float>(dsp(3) + dsp(0) + dsp(2));
    if (B <= 0) {
        return 6;
    }

    // No breath is taken at a rate of 0 (artificial ventilation set to 0):
    // no dead-space correction and no inspiratory weight, rather than a
    // division by zero.
    const bool breathing = oth(0) >= 20 && display[40].value > 0;
    step.dead_space_adjust =
        (bag_state == 11 || !breathing) ? 0.0f
                                         : static_cast<float>((B - A) * drv(34) / dsp(40));
    if (bag_state == 9) {
        bager(11, &B, nullptr);
    }

    float E = static_cast<float>(B * drv(35) - fct(19));
    if (E >= 0) {
        // Expiration of the gas above the end-expiratory lung volume.
        const double e = f32(E * drv(25));
        set_dsp(55, e / B);
        const double f = f32(e / dry);
        double o2_out = f32(f * dsp(4));
        double co2_out = f32(f * dsp(1));
        double n2_out = f32((dry - dsp(4) - dsp(1)) * f);
        if (step.pressure_changed) {
            // Last second's pressures describe gas at another pressure: the
            // expired gas has the make-up of the alveolar gas as it is.
            o2_out = f32(e * dsp(3) / B);
            co2_out = f32(e * dsp(0) / B);
            n2_out = f32(e * dsp(2) / B);
        }
        set_oth(7, o2_in - o2_out);
        set_oth(8, co2_out - co2_in);
        if (bag_state != 9 && bag_state != 10) {
            bager(12, &E, &display[55].value);
            if (dsp(55) + 9000 < 0) {
                return 5;
            }
        }
        if (other[0] <= 0) {
            other[7] = 0.001f;
            other[8] = 0;
        }
        set_dsp(3, dsp(3) - o2_out);
        set_dsp(0, dsp(0) - co2_out);
        set_dsp(2, dsp(2) - n2_out);
    } else {
        // The lung is below its end-expiratory volume: inspired gas fills it.
        const double g = f32(E * drv(12));
        set_dsp(3, dsp(3) - g * fct(16));
        set_dsp(0, dsp(0) - g * fct(15));
        set_dsp(2, dsp(2) - g * m);
    }

    const double C = f32(dsp(3) + dsp(2) + dsp(0));
    if (C <= 0) {
        return 6;
    }
    const double pe_o2 = f32(dsp(3) * dry / C);
    const double pe_co2 = f32(dsp(0) * dry / C);
    double t = breathing ? f32(std::min(drv(37) / dsp(40), 4.0)) : 0.0;
    if (t > 1) {
        t = inspiratory_weight_for_consumption(t, drv(7));
    }
    float w = static_cast<float>(drv(38) / (dsp(41) + 100));
    if (step.pressure_changed) {
        // Neither last second's pressures nor the gas before the lungs were
        // refilled describe the gas now: the alveolar pressures are those of
        // the gas as it is at the end of the step.
        t = 0;
        w = 0;
    }
    display[4].value = damp(static_cast<float>((pi_o2 - pe_o2) * t + pe_o2), display[4].value, w);
    display[1].value =
        damp(static_cast<float>((pi_co2 - pe_co2) * t + pe_co2), display[1].value, w);
    if (display[4].value <= 0) {
        return 6;
    }
    if (display[1].value <= 0) {
        return 7;
    }
    if (other[7] != 0) {
        set_dsp(39, oth(8) / oth(7));
    }
    return 0;
}

// Stage 11: pulmonary capillary blood leaving the lungs. Writes display[37]
// and display[38]. Returns 0 or code 8.
int stage_capillary_blood()
{
    const double b = f32(dsp(57) * drv(1) + (dsp(1) - 40) * drv(3));
    if (b < 0) {
        return 8;
    }
    // A bicarbonate of exactly 0 passes but has no pH (its logarithm is not
    // finite): the capillary contents keep the previous step's values, so
    // that nothing undefined reaches the arterial blood.
    if (b == 0) {
        return 0;
    }
    const float pH = static_cast<float>(blood_ph(b, dsp(1)));
    float saturation = 0;
    blood_contents(pH, display[4].value, display[1].value, display[38].value, display[37].value,
                   saturation);
    return 0;
}

// Stage 13: control of breathing: chemical drives, ventilation demand,
// natural or artificial ventilation, apnoea, rate, dead space, tidal volume,
// alveolar ventilation, brain oxygenation and anoxia. Writes display[55],
// [40], [33], [41], [5], other[0], [1], [6], [11], [17].
void stage_breathing_control(const step_context& step)
{
    const bool natural = natural_breathing();
    if (!natural) {
        set_dsp(55, drv(51));
    }

    // Chemical drives.
    const double h = f32((118 - dsp(16)) * 0.05);
    const double h2 = f32(h * 0.002);
    const double c1 = f32(std::max((drv(65) + h2 - dsp(31)) * 1000 * h, 0.0));
    double c2 = f32((drv(66) + h2 - dsp(31)) * 150 * h);
    if (c2 < 0 && drv(67) > 0) {
        c2 = 0;
    }
    const double r = f32(std::max((dsp(26) - 120) * 0.25, 0.0));
    const double x = f32(std::max((98 - dsp(16)) * (dsp(10) - 25) * 0.12, 0.0));
    other[1] = damp(display[27].value >= 10 ? 1.0f : 0.0f, other[1], derived[63]);
    other[17] = damp(derived[46], other[17], derived[68]);
    const double D = f32(std::min(
        ((c1 + c2) * drv(44) + drv(45) * x + oth(17) - r) * drv(47), drv(6)));
    const float w = static_cast<float>((dsp(41) + 400) * drv(62) / (dsp(32) + 5));
    other[11] = damp(static_cast<float>(oth(1) * D), other[11], w);

    // Apnoea: glottis closed, or a natural demand below the threshold. Also
    // apnoea, so that no rate or tidal volume divides by zero: a natural
    // demand of 0 or less (the threshold is negative below 26 degrees), a
    // vital capacity of 0 (no breath fits the lungs), an artificial rate of 0.
    const bool apnoea = bag_state == 9 ||
                        (natural && (other[11] <= derived[48] || other[11] <= 0 ||
                                     derived[20] <= 0)) ||
                        (!natural && display[40].value <= 0);
    bool dead_space_kept = apnoea;
    if (apnoea) {
        display[55].value = 0;
        display[40].value = 0.0001f;
    } else if (natural) {
        display[55].value = other[11];
        set_dsp(40, (std::pow(dsp(55), 0.7) * 0.37 + drv(49)) * drv(50) / (dsp(16) + 40));
        dead_space_kept = display[40].value <= 1 || display[32].value <= 0.5f;
    }
    if (!dead_space_kept) {
        const double v = f32(std::min(dsp(4) * 0.15, 70.0));
        display[33].value = damp(
            static_cast<float>(dsp(55) * 100 / std::pow(dsp(40), 1.12) + drv(52) +
                               20 * dsp(55) / (dsp(32) + 5) + v + step.dead_space_adjust +
                               (dsp(41) + 500) * drv(54)),
            display[33].value, derived[55]);
    }

    // Tidal volume and alveolar ventilation.
    set_dsp(41, dsp(55) * 1000 / dsp(40));
    set_oth(0, (dsp(41) - dsp(33)) * dsp(40) / 60);
    if (natural && display[41].value > derived[20]) {
        display[41].value = derived[20];
        set_dsp(40, dsp(55) * 1000 / dsp(41));
        set_oth(0, (dsp(41) - dsp(33)) * dsp(40) / 60);
    }
    if (other[0] <= 0) {
        other[0] = 0;
    }
    set_dsp(5, oth(0) * drv(56));

    // Anoxia index.
    if (other[1] > 0.3f) {
        set_oth(6, oth(6) - oth(1) * drv(59));
    } else {
        set_oth(6, oth(6) + (1 - oth(1)) * drv(58));
    }
}
