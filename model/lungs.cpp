// SPDX-License-Identifier: Apache-2.0
// Lung gas exchange and the control of breathing: stages 10, 11 and 13 of the
// step.
#include <algorithm>
#include <cmath>

#include "step_internal.h"

bool natural_breathing() { return static_cast<uint8_t>(ventilation_flag) != 0; }

namespace {

// O2 consumption (o2_consumption, ml STPD per minute) above which the
// inspiratory weight is drawn down, and at which it is 1. The standard
// subject consumes 2059 ml/min at 150 W, 2117 at 155 W and 2174 at 160 W.
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
    const double kept =
        std::max((stiff_exchange_full - o2_consumption) / (stiff_exchange_full - stiff_exchange_start), 0.0);
    return f32(1 + (t - 1) * kept);
}

// Stage 10: alveolar gas through one second: inspiration, exchange with the capillary blood,
// expiration or refilling, and the bag. Writes alveolar_co2_amount, alveolar_pco2,
// alveolar_n2_amount, alveolar_o2_amount, alveolar_po2, respiratory_quotient, total_ventilation
// (expired fraction), o2_uptake_per_step, co2_output_per_step and the dead-space correction.
// Returns 0 or code 5, 6 or 7.
int stage_alveolar_gas(step_context& step)
{
    const double q = f32(step.flow * drv(derived_id::pulmonary_flow_ratio) * step.unshunted);
    const double dry = drv(derived_id::dry_pressure);

    // Inspiration.
    const double v =
        f32(oth(other_id::alveolar_ventilation_per_step) * drv(derived_id::btps_percent_to_stpd));
    const double o2_in = f32(v * fct(factor_id::inspired_o2));
    const double co2_in = f32(v * fct(factor_id::inspired_co2));
    const double m = f32(100 - fct(factor_id::inspired_o2) - fct(factor_id::inspired_co2));
    set_dsp(display_id::alveolar_o2_amount, dsp(display_id::alveolar_o2_amount) + o2_in);
    set_dsp(display_id::alveolar_co2_amount, dsp(display_id::alveolar_co2_amount) + co2_in);
    set_dsp(display_id::alveolar_n2_amount, dsp(display_id::alveolar_n2_amount) + v * m);
    const double A = f32(dsp(display_id::alveolar_o2_amount) + dsp(display_id::alveolar_co2_amount) +
                         dsp(display_id::alveolar_n2_amount));
    // Inspired percentages above 100 in all (each is allowed up to 100) can
    // leave no gas at all in the lungs; then no alveolar pressure is
    // positive, which is what code 6 reports.
    if (A <= 0) {
        return failure_code::alveolar_po2_gone;
    }
    const double pi_o2 = f32(dsp(display_id::alveolar_o2_amount) * dry / A);
    const double pi_co2 = f32(dsp(display_id::alveolar_co2_amount) * dry / A);

    // Exchange with the capillary blood.
    set_dsp(display_id::alveolar_o2_amount,
            dsp(display_id::alveolar_o2_amount) +
                (dsp(display_id::venous_o2_content) - dsp(display_id::capillary_o2_content)) * q);
    set_dsp(display_id::alveolar_co2_amount,
            dsp(display_id::alveolar_co2_amount) +
                (dsp(display_id::venous_co2_content) - dsp(display_id::capillary_co2_content)) * q);
    set_dsp(display_id::alveolar_n2_amount,
            dsp(display_id::alveolar_n2_amount) +
                (dsp(display_id::tissue_pn2_fast) * 0.00127 - dsp(display_id::arterial_pool_n2_content)) * q);
    float B = static_cast<float>(dsp(display_id::alveolar_o2_amount) + dsp(display_id::alveolar_co2_amount) +
                                 dsp(display_id::alveolar_n2_amount));
    if (B <= 0) {
        return failure_code::alveolar_po2_gone;
    }

    // No breath is taken at a rate of 0 (artificial ventilation set to 0):
    // no dead-space correction and no inspiratory weight, rather than a
    // division by zero.
    const bool breathing =
        oth(other_id::alveolar_ventilation_per_step) >= 20 && display[display_id::respiratory_rate].value > 0;
    step.dead_space_adjust = (bag_state == bag_state_id::collect_expired || !breathing)
                                 ? 0.0f
                                 : static_cast<float>((B - A) * drv(derived_id::dead_space_adjust_scale) /
                                                      dsp(display_id::respiratory_rate));
    if (bag_state == bag_state_id::glottis_closed) {
        bager(11, &B, nullptr);
    }

    float E = static_cast<float>(B * drv(derived_id::stpd_percent_to_btps) - fct(factor_id::lung_volume));
    if (E >= 0) {
        // Expiration of the gas above the end-expiratory lung volume.
        const double e = f32(E * drv(derived_id::btps_to_stpd));
        set_dsp(display_id::total_ventilation, e / B);
        const double f = f32(e / dry);
        double o2_out = f32(f * dsp(display_id::alveolar_po2));
        double co2_out = f32(f * dsp(display_id::alveolar_pco2));
        double n2_out = f32((dry - dsp(display_id::alveolar_po2) - dsp(display_id::alveolar_pco2)) * f);
        if (step.pressure_changed) {
            // Last second's pressures describe gas at another pressure: the
            // expired gas has the make-up of the alveolar gas as it is.
            o2_out = f32(e * dsp(display_id::alveolar_o2_amount) / B);
            co2_out = f32(e * dsp(display_id::alveolar_co2_amount) / B);
            n2_out = f32(e * dsp(display_id::alveolar_n2_amount) / B);
        }
        set_oth(other_id::o2_uptake_per_step, o2_in - o2_out);
        set_oth(other_id::co2_output_per_step, co2_out - co2_in);
        if (bag_state != bag_state_id::glottis_closed && bag_state != bag_state_id::standard) {
            bager(12, &E, &display[display_id::total_ventilation].value);
            if (dsp(display_id::total_ventilation) + 9000 < 0) {
                return failure_code::bag_too_small;
            }
        }
        if (other[other_id::alveolar_ventilation_per_step] <= 0) {
            other[other_id::o2_uptake_per_step] = 0.001f;
            other[other_id::co2_output_per_step] = 0;
        }
        set_dsp(display_id::alveolar_o2_amount, dsp(display_id::alveolar_o2_amount) - o2_out);
        set_dsp(display_id::alveolar_co2_amount, dsp(display_id::alveolar_co2_amount) - co2_out);
        set_dsp(display_id::alveolar_n2_amount, dsp(display_id::alveolar_n2_amount) - n2_out);
    } else {
        // The lung is below its end-expiratory volume: inspired gas fills it.
        const double g = f32(E * drv(derived_id::btps_percent_to_stpd));
        set_dsp(display_id::alveolar_o2_amount,
                dsp(display_id::alveolar_o2_amount) - g * fct(factor_id::inspired_o2));
        set_dsp(display_id::alveolar_co2_amount,
                dsp(display_id::alveolar_co2_amount) - g * fct(factor_id::inspired_co2));
        set_dsp(display_id::alveolar_n2_amount, dsp(display_id::alveolar_n2_amount) - g * m);
    }

    const double C = f32(dsp(display_id::alveolar_o2_amount) + dsp(display_id::alveolar_n2_amount) +
                         dsp(display_id::alveolar_co2_amount));
    if (C <= 0) {
        return failure_code::alveolar_po2_gone;
    }
    const double pe_o2 = f32(dsp(display_id::alveolar_o2_amount) * dry / C);
    const double pe_co2 = f32(dsp(display_id::alveolar_co2_amount) * dry / C);
    double t = breathing
                   ? f32(std::min(
                         drv(derived_id::inspiratory_weight_scale) / dsp(display_id::respiratory_rate), 4.0))
                   : 0.0;
    if (t > 1) {
        t = inspiratory_weight_for_consumption(t, drv(derived_id::o2_consumption));
    }
    float w = static_cast<float>(drv(derived_id::alveolar_lag_scale) / (dsp(display_id::tidal_volume) + 100));
    if (step.pressure_changed) {
        // Neither last second's pressures nor the gas before the lungs were
        // refilled describe the gas now: the alveolar pressures are those of
        // the gas as it is at the end of the step.
        t = 0;
        w = 0;
    }
    display[display_id::alveolar_po2].value =
        damp(static_cast<float>((pi_o2 - pe_o2) * t + pe_o2), display[display_id::alveolar_po2].value, w);
    display[display_id::alveolar_pco2].value =
        damp(static_cast<float>((pi_co2 - pe_co2) * t + pe_co2), display[display_id::alveolar_pco2].value, w);
    if (display[display_id::alveolar_po2].value <= 0) {
        return failure_code::alveolar_po2_gone;
    }
    if (display[display_id::alveolar_pco2].value <= 0) {
        return failure_code::alveolar_pco2_gone;
    }
    if (other[other_id::o2_uptake_per_step] != 0) {
        set_dsp(display_id::respiratory_quotient,
                oth(other_id::co2_output_per_step) / oth(other_id::o2_uptake_per_step));
    }
    return 0;
}

// Stage 11: pulmonary capillary blood leaving the lungs. Writes capillary_co2_content
// and capillary_o2_content. Returns 0 or code 8.
int stage_capillary_blood()
{
    const double b =
        f32(dsp(display_id::venous_bicarbonate_amount) * drv(derived_id::venous_bicarbonate_scale) +
            (dsp(display_id::alveolar_pco2) - 40) * drv(derived_id::bicarbonate_per_pco2));
    if (b < 0) {
        return failure_code::capillary_bicarbonate_negative;
    }
    // A bicarbonate of exactly 0 passes but has no pH (its logarithm is not
    // finite): the capillary contents keep the previous step's values, so
    // that nothing undefined reaches the arterial blood.
    if (b == 0) {
        return 0;
    }
    const float pH = static_cast<float>(blood_ph(b, dsp(display_id::alveolar_pco2)));
    float saturation = 0;
    blood_contents(pH, display[display_id::alveolar_po2].value, display[display_id::alveolar_pco2].value,
                   display[display_id::capillary_o2_content].value,
                   display[display_id::capillary_co2_content].value, saturation);
    return 0;
}

// Stage 13: control of breathing: chemical drives, ventilation demand, natural or artificial
// ventilation, apnoea, rate, dead space, tidal volume, alveolar ventilation, brain oxygenation and
// anoxia. Writes total_ventilation, respiratory_rate, dead_space, tidal_volume,
// alveolar_ventilation, alveolar_ventilation_per_step, brain_oxygenation, anoxia_index,
// ventilation_demand, damped_central_drive.
void stage_breathing_control(const step_context& step)
{
    const bool natural = natural_breathing();
    if (!natural) {
        set_dsp(display_id::total_ventilation, drv(derived_id::artificial_ventilation));
    }

    // Chemical drives.
    const double h = f32((118 - dsp(display_id::arterial_saturation)) * 0.05);
    const double h2 = f32(h * 0.002);
    const double c1 = f32(
        std::max((drv(derived_id::central_ph_threshold) + h2 - dsp(display_id::brain_ph)) * 1000 * h, 0.0));
    double c2 = f32((drv(derived_id::central_ph_threshold_low) + h2 - dsp(display_id::brain_ph)) * 150 * h);
    if (c2 < 0 && drv(derived_id::central_drive_above_30) > 0) {
        c2 = 0;
    }
    const double r = f32(std::max((dsp(display_id::brain_pco2) - 120) * 0.25, 0.0));
    const double x = f32(std::max(
        (98 - dsp(display_id::arterial_saturation)) * (dsp(display_id::arterial_pco2) - 25) * 0.12, 0.0));
    other[other_id::brain_oxygenation] =
        damp(display[display_id::brain_o2_amount].value >= 10 ? 1.0f : 0.0f,
             other[other_id::brain_oxygenation], derived[derived_id::brain_oxygenation_lag]);
    other[other_id::damped_central_drive] =
        damp(derived[derived_id::central_drive_target], other[other_id::damped_central_drive],
             derived[derived_id::central_drive_lag]);
    const double D =
        f32(std::min(((c1 + c2) * drv(derived_id::co2_drive_gain) + drv(derived_id::hypoxic_drive_gain) * x +
                      oth(other_id::damped_central_drive) - r) *
                         drv(derived_id::drive_to_ventilation),
                     drv(derived_id::max_drive)));
    const float w =
        static_cast<float>((dsp(display_id::tidal_volume) + 400) * drv(derived_id::ventilation_lag_scale) /
                           (dsp(display_id::cardiac_output) + 5));
    other[other_id::ventilation_demand] = damp(static_cast<float>(oth(other_id::brain_oxygenation) * D),
                                               other[other_id::ventilation_demand], w);

    // Apnoea: glottis closed, or a natural demand below the threshold. Also
    // apnoea, so that no rate or tidal volume divides by zero: a natural
    // demand of 0 or less (the threshold is negative below 26 degrees), a
    // vital capacity of 0 (no breath fits the lungs), an artificial rate of
    // 0. An apnoea writes a rate of apnoea_rate rather than 0; an artificial
    // rate that low is still apnoea, so that a ventilator set to 0 keeps the
    // dead space in every second of the pause, as a natural apnoea does.
    constexpr float apnoea_rate = 0.0001f;
    const bool apnoea =
        bag_state == bag_state_id::glottis_closed ||
        (natural &&
         (other[other_id::ventilation_demand] <= derived[derived_id::apnoea_threshold] ||
          other[other_id::ventilation_demand] <= 0 || derived[derived_id::max_tidal_volume] <= 0)) ||
        (!natural && display[display_id::respiratory_rate].value <= apnoea_rate);
    bool dead_space_kept = apnoea;
    if (apnoea) {
        display[display_id::total_ventilation].value = 0;
        display[display_id::respiratory_rate].value = apnoea_rate;
    } else if (natural) {
        display[display_id::total_ventilation].value = other[other_id::ventilation_demand];
        set_dsp(display_id::respiratory_rate, (std::pow(dsp(display_id::total_ventilation), 0.7) * 0.37 +
                                               drv(derived_id::respiratory_rate_offset)) *
                                                  drv(derived_id::respiratory_rate_scale) /
                                                  (dsp(display_id::arterial_saturation) + 40));
        dead_space_kept = display[display_id::respiratory_rate].value <= 1 ||
                          display[display_id::cardiac_output].value <= 0.5f;
    }
    if (!dead_space_kept) {
        const double v = f32(std::min(dsp(display_id::alveolar_po2) * 0.15, 70.0));
        display[display_id::dead_space].value = damp(
            static_cast<float>(
                dsp(display_id::total_ventilation) * 100 / std::pow(dsp(display_id::respiratory_rate), 1.12) +
                drv(derived_id::dead_space_base) +
                20 * dsp(display_id::total_ventilation) / (dsp(display_id::cardiac_output) + 5) + v +
                step.dead_space_adjust +
                (dsp(display_id::tidal_volume) + 500) * drv(derived_id::dead_space_per_tidal_volume)),
            display[display_id::dead_space].value, derived[derived_id::short_lag]);
    }

    // Tidal volume and alveolar ventilation.
    set_dsp(display_id::tidal_volume,
            dsp(display_id::total_ventilation) * 1000 / dsp(display_id::respiratory_rate));
    set_oth(other_id::alveolar_ventilation_per_step,
            (dsp(display_id::tidal_volume) - dsp(display_id::dead_space)) *
                dsp(display_id::respiratory_rate) / 60);
    if (natural && display[display_id::tidal_volume].value > derived[derived_id::max_tidal_volume]) {
        display[display_id::tidal_volume].value = derived[derived_id::max_tidal_volume];
        set_dsp(display_id::respiratory_rate,
                dsp(display_id::total_ventilation) * 1000 / dsp(display_id::tidal_volume));
        set_oth(other_id::alveolar_ventilation_per_step,
                (dsp(display_id::tidal_volume) - dsp(display_id::dead_space)) *
                    dsp(display_id::respiratory_rate) / 60);
    }
    if (other[other_id::alveolar_ventilation_per_step] <= 0) {
        other[other_id::alveolar_ventilation_per_step] = 0;
    }
    set_dsp(display_id::alveolar_ventilation,
            oth(other_id::alveolar_ventilation_per_step) * drv(derived_id::ml_per_second_to_l_per_minute));

    // Anoxia index.
    if (other[other_id::brain_oxygenation] > 0.3f) {
        set_oth(other_id::anoxia_index, oth(other_id::anoxia_index) -
                                            oth(other_id::brain_oxygenation) * drv(derived_id::anoxia_rate));
    } else {
        set_oth(other_id::anoxia_index,
                oth(other_id::anoxia_index) +
                    (1 - oth(other_id::brain_oxygenation)) * drv(derived_id::anoxia_recovery_rate));
    }
}
