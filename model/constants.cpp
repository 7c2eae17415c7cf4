// SPDX-License-Identifier: Apache-2.0
// Derived constants: the coefficients that the model step and the bag read,
// worked out once per run from the factors, the passport and a few other
// variables.
#include <algorithm>
#include <cmath>

#include "model_internal.h"
#include "step_internal.h"

float derived[derived_id::count];

namespace {

// Mechanical efficiency (%) of the body against the work rate (W).
constexpr table_point metabolic_efficiency[] = {
    {0, 0},      {3, 2},       {15, 6.7f},   {30, 11.5f},  {45, 14.5f},  {75, 18},
    {90, 19.3f}, {120, 20.7f}, {150, 20.9f}, {225, 22.5f}, {300, 20.5f},
};
constexpr int metabolic_efficiency_points = sizeof(metabolic_efficiency) / sizeof(metabolic_efficiency[0]);

// Stores one entry, rounded to a float.
inline void set(int entry, double value) { derived[entry] = static_cast<float>(value); }

double f(int index) { return factor[index].value; }

// Metabolic rate (% of resting) from the work rate; 100 below 3 W.
double metabolic_rate(double work)
{
    if (work < 3) {
        return 100;
    }
    float efficiency =
        interpolate(static_cast<float>(work), metabolic_efficiency, metabolic_efficiency_points);
    return work * 1.19 * 100 / efficiency;
}

// Power of a base that falls below zero only for temperatures under a
// threshold of a formula: the base is held at 0 there, so the formula gives 0
// (no O2 consumption below 26 degrees, no breathing drive below 29) instead
// of the NaN of a negative base. Above the threshold it is the plain power.
double power_from_zero(double base, double exponent) { return base > 0 ? std::pow(base, exponent) : 0; }

void compute_entries()
{
    const double M = display[display_id::metabolic_rate].value;
    const double T = f(factor_id::body_temperature);
    const double Pb = f(factor_id::barometric_pressure);
    const double Hb = f(factor_id::haemoglobin);
    const double LE = f(factor_id::lung_elastance);
    const double VC = f(factor_id::vital_capacity);
    const double VBV = f(factor_id::venous_blood_volume);
    const double ECF = f(factor_id::tissue_ecf_volume);
    const double PEEP = f(factor_id::peep);
    const double XDS = f(factor_id::extra_dead_space);
    const double FRC = f(factor_id::lung_volume);
    const double BC = f(factor_id::breathing_capacity);
    const double DRV = f(factor_id::central_drive);
    const double FIT = f(factor_id::fitness_index);
    const double IE = f(factor_id::inspiratory_time_ratio);
    const double LRS = f(factor_id::left_to_right_shunt);
    const double VAE = f(factor_id::venous_admixture);
    const double PUMP = f(factor_id::cardiac_performance);
    const double RCO2 = f(factor_id::co2_response);
    const double RO2 = f(factor_id::hypoxic_response);
    const double RR = display[display_id::respiratory_rate].value;
    const double VT = display[display_id::tidal_volume].value;
    const double kg = weight.value;
    const double cm = height.value;
    const float* d = derived;

    set(derived_id::always_zero, 0);
    set(derived_id::venous_bicarbonate_scale, 1000 / VBV);
    set(derived_id::venous_content_scale, 100 / VBV);
    set(derived_id::bicarbonate_per_pco2, 0.0203 * Hb);
    set(derived_id::breathing_work_exponent, (LE + 105) * 0.01);
    set(derived_id::breathing_work_scale, 2.7 / (VC + 0.4));
    set(derived_id::max_drive, other[other_id::max_drive_parameter] * 25.0 + 29);
    // O2 consumption (ml STPD/min) at the current metabolic rate and
    // temperature; 0 at and below 26 degrees (see power_from_zero).
    set(derived_id::o2_consumption,
        power_from_zero(T - 26, 1.05) * other[other_id::resting_o2_consumption] * M * 0.00081);
    // A lung elastance of 0 (its minimum) would divide PEEP by zero: the
    // elastance is taken as at least 0.1 cm water/litre here, which leaves
    // every elastance a user sets above that untouched.
    set(derived_id::cardiac_output_base,
        (30 - PEEP * 5 / std::max(LE, 0.1)) * 0.0016 * other[other_id::cardiac_parameter] * (T - 12.2));
    set(derived_id::cardiac_output_exercise,
        (d[derived_id::o2_consumption] - static_cast<double>(other[other_id::resting_o2_consumption])) *
            0.01);
    set(derived_id::slow_acid_rate, 0.00008333333);
    // Dry barometric pressure (mm Hg). At a low barometric pressure and a
    // high temperature water vapour alone would fill the lungs and the value
    // reaches 0 or below; btps_percent_to_stpd, dead_space_adjust_scale,
    // stpd_percent_to_btps and drive_to_ventilation divide by it and the
    // alveolar pressures are fractions of it. It is held at 1 mm Hg at least,
    // so those stay finite and positive and the subject, breathing next to no
    // gas, goes hypoxic as it would.
    set(derived_id::dry_pressure, std::max(Pb - 0.03 * T * T - 5.92, 1.0));
    set(derived_id::btps_percent_to_stpd, d[derived_id::dry_pressure] * 0.003592 / (T + 273));
    set(derived_id::tissue_bicarbonate_scale, 0.9 / ECF);
    set(derived_id::pulmonary_flow_ratio, LRS + 1);
    set(derived_id::lactate_concentration_scale, 2 / kg);
    set(derived_id::pump_fraction, PUMP * 0.01);
    set(derived_id::flow_per_cardiac_output, 0.16666667);
    set(derived_id::admixture_base, VAE * 80);
    set(derived_id::admixture_exercise,
        std::max((M - 90) * other[other_id::admixture_exercise_parameter] * 0.05, -1.0));
    set(derived_id::max_tidal_volume, 650 * VC + (XDS >= 0 ? 15 * std::sqrt(XDS) : 0));
    set(derived_id::admixture_peep_scale, (40 - PEEP) * 0.025);
    set(derived_id::arterial_pool_lag_scale, 0.0037);
    set(derived_id::decompression_risk_scale, 20 / Pb);
    set(derived_id::clearance_cardiac_output, other[other_id::cardiac_parameter] * 0.3);
    set(derived_id::btps_to_stpd, 100.0 * d[derived_id::btps_percent_to_stpd]);
    set(derived_id::slow_n2_pressure_scale, 7 / ECF);
    set(derived_id::n2_bubble_rate, 0.0016666667);
    set(derived_id::fast_n2_pressure_scale, 30000 / (VBV + 1000));
    set(derived_id::lactate_clearance_rate, std::pow(kg, 0.425) * 0.000065 * std::pow(cm, 0.725));
    set(derived_id::tissue_co2_store_scale, 520 / ECF);
    set(derived_id::tissue_po2_scale, 2.7 / ECF);
    set(derived_id::anaerobic_threshold, d[derived_id::lactate_clearance_rate]);
    set(derived_id::tissue_pco2_offset,
        308.0 * d[derived_id::bicarbonate_per_pco2] - 0.65 * ECF * d[derived_id::tissue_co2_store_scale]);
    set(derived_id::dead_space_adjust_scale, 0.004 / (d[derived_id::btps_percent_to_stpd] / 60.0));
    set(derived_id::stpd_percent_to_btps, 0.01 / d[derived_id::btps_percent_to_stpd]);
    set(derived_id::tissue_bicarbonate_pco2_scale, 7.7 * d[derived_id::tissue_bicarbonate_scale]);
    set(derived_id::inspiratory_weight_scale, 60 * IE);
    set(derived_id::alveolar_lag_scale, 0.05 * FRC);
    set(derived_id::brain_flow_scale, 0.0021166666);
    set(derived_id::max_lactate_production, (M - 25) * d[derived_id::lactate_clearance_rate] * 1.3);
    set(derived_id::brain_metabolism, (T - 24.5) / 60 * 1.82);
    set(derived_id::hypoxic_lactate_rate, 0.003 * d[derived_id::lactate_clearance_rate]);
    set(derived_id::tissue_pco2_scale, 1 / (7.7 * d[derived_id::bicarbonate_per_pco2] + 1));
    const float B = static_cast<float>(std::pow(M * 0.01, 0.8) * VC * 0.2);
    set(derived_id::co2_drive_gain, RCO2 * B * 0.0132);
    set(derived_id::hypoxic_drive_gain, RO2 * B * 0.008);
    // A negative resting consumption from a subject file would make the base
    // negative; it is held at 0 like the temperature powers.
    set(derived_id::central_drive_target,
        (power_from_zero(d[derived_id::o2_consumption] * 0.00051, 0.97) + 0.01) * DRV * 0.78);
    const double D = std::min(356 / static_cast<double>(d[derived_id::dry_pressure]) + 0.5, 1.0);
    // Breathing drive factor; 0 at and below 29 degrees (see power_from_zero).
    set(derived_id::drive_to_ventilation, power_from_zero(T - 29, 1.5) * BC * 0.000214 * D);
    set(derived_id::apnoea_threshold, (T - 26) * 0.04 * VC);
    set(derived_id::respiratory_rate_offset, std::sqrt(1.25 * LE) + 9);
    set(derived_id::respiratory_rate_scale, (BC + 150) * 0.0275 * (T - 17));
    set(derived_id::artificial_ventilation, RR * VT * 0.001);
    set(derived_id::dead_space_base, 0.03 * FRC - 20 + XDS);
    set(derived_id::anaerobic_credit_lag, 0.02);
    set(derived_id::dead_space_per_tidal_volume, other[other_id::dead_space_parameter] * 0.001);
    set(derived_id::short_lag, 0.167);
    set(derived_id::ml_per_second_to_l_per_minute, 0.06);
    set(derived_id::always_one, 1);
    set(derived_id::anoxia_recovery_rate, 0.021166667);
    set(derived_id::anoxia_rate, 0.005);
    set(derived_id::n2_exchange_rate, 0.00013333333);
    // Damping weight of the cardiac output: F is lowered to 12 before the
    // division. cardiac_lag_parameter = 0 (possible only from a subject file) makes the
    // quotient infinite; damp() counts every weight above 120 as 120, so
    // holding the entry at 120 changes no result and keeps it finite.
    const double cardiac_lag =
        std::min(std::pow(M * 0.01, 1.45), 12.0) / (0.015 * other[other_id::cardiac_lag_parameter]);
    set(derived_id::cardiac_output_lag, std::min(cardiac_lag, 120.0));
    set(derived_id::ventilation_lag_scale, (DRV + 300) * 0.00025);
    // Damping weight of the brain oxygenation index. damp() counts any weight
    // above 120 as 120, so the weight is capped there; that also covers the
    // zero O2 consumption at and below 26 degrees, which would divide by 0.
    set(derived_id::brain_oxygenation_lag, d[derived_id::o2_consumption] > 500.0 / 120
                                               ? 500 / static_cast<double>(d[derived_id::o2_consumption])
                                               : 120.0);
    set(derived_id::tissue_co2_buffer, 0.01488 * Hb * (VBV * 0.001 + ECF));
    set(derived_id::central_ph_threshold, 7.324 - DRV * 0.00005);
    set(derived_id::central_ph_threshold_low, d[derived_id::central_ph_threshold] - 0.002);
    set(derived_id::central_drive_above_30, DRV - 30);
    set(derived_id::central_drive_lag, (M + 200) * 0.04);
    set(derived_id::fitness_bypass, (FIT - 20) * 0.00035);
    set(derived_id::lactate_production_scale, d[derived_id::lactate_clearance_rate] * 1.3);
    set(derived_id::dpg_target, sex * 1.6 + 21.7);
    set(derived_id::dpg_drift_rate, 0.000033333334);
    set(derived_id::hypoxic_po2_threshold, FIT + std::clamp((1.5 * M - 150) * 0.02 - 7, -7.0, 0.0));
}

}  // namespace

// The pH of reference of the O2 dissociation curve for a 2,3-DPG
// concentration (mmol/litre): more DPG moves the curve right. Capped at 7.58.
float o2_curve_reference_ph(double dpg)
{
    return static_cast<float>(std::min((dpg - 3.8) * 0.025 + 7.4, 7.58));
}

bool constant(int32_t n)
{
    // Step 1: metabolic rate from the work rate.
    display[display_id::metabolic_rate].value =
        static_cast<float>(metabolic_rate(factor[factor_id::work_rate].value));

    // Step 2: entries 0 to 73.
    compute_entries();

    // Step 3: the bicarbonate or acid addition is spread over the run's
    // steps. A run has at least one step: n below 1 counts as 1 so that the
    // factor never becomes infinite.
    factor[factor_id::bicarbonate_addition].value = static_cast<float>(
        static_cast<double>(factor[factor_id::bicarbonate_addition].value) / std::max(n, 1));

    // Step 4: pH of reference of the O2 curve from the unclamped 2,3-DPG.
    const double dpg = factor[factor_id::dpg].value;
    other[other_id::o2_curve_reference_ph] = o2_curve_reference_ph(dpg);

    // Step 5: 2,3-DPG held at 13.
    if (dpg > 13) {
        factor[factor_id::dpg].value = 13;
    }

    // Step 6: maximum heart rate and the pump's stroke coefficient.
    set(derived_id::max_heart_rate, 210 - 0.65 * age.value);
    set(derived_id::stroke_volume_scale, (sex * 0.2 + 1.5 + (33 - f(factor_id::fitness_index)) * 0.1) *
                                             weight.value * derived[derived_id::pump_fraction]);
    watch_new_constants();
    return true;
}
