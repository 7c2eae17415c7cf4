// Derived constants: the coefficients that the model step and the bag read,
// worked out once per run from the factors, the passport and a few other
// variables.
#include <algorithm>
#include <cmath>

#include "model_internal.h"
#include "step_internal.h"

float derived[76];

namespace {

// Mechanical efficiency (%) of the body against the work rate (W).
constexpr table_point metabolic_efficiency[] = {
    {0, 0},      {3, 2},      {15, 6.7f},   {30, 11.5f},  {45, 14.5f},  {75, 18},
    {90, 19.3f}, {120, 20.7f}, {150, 20.9f}, {225, 22.5f}, {300, 20.5f},
};
constexpr int metabolic_efficiency_points =
    sizeof(metabolic_efficiency) / sizeof(metabolic_efficiency[0]);

// Stores one entry, rounded to a float.
inline void set(int entry, double value)
{
    derived[entry] = static_cast<float>(value);
}

double f(int index)
{
    return factor[index].value;
}

// Metabolic rate (% of resting) from the work rate; 100 below 3 W.
double metabolic_rate(double work)
{
    if (work < 3) {
        return 100;
    }
    float efficiency = interpolate(static_cast<float>(work), metabolic_efficiency,
                                   metabolic_efficiency_points);
    return work * 1.19 * 100 / efficiency;
}

// Power of a base that falls below zero only for temperatures under a
// threshold of a formula: the base is held at 0 there, so the formula gives 0
// (no O2 consumption below 26 degrees, no breathing drive below 29) instead
// of the NaN of a negative base. Above the threshold it is the plain power.
double power_from_zero(double base, double exponent)
{
    return base > 0 ? std::pow(base, exponent) : 0;
}

void compute_entries()
{
    const double M = display[36].value;
    const double T = f(5);
    const double Pb = f(25);
    const double Hb = f(12);
    const double LE = f(18);
    const double VC = f(30);
    const double VBV = f(27);
    const double ECF = f(23);
    const double PEEP = f(22);
    const double XDS = f(11);
    const double FRC = f(19);
    const double BC = f(7);
    const double DRV = f(9);
    const double FIT = f(13);
    const double IE = f(14);
    const double LRS = f(17);
    const double VAE = f(26);
    const double PUMP = f(8);
    const double RCO2 = f(28);
    const double RO2 = f(29);
    const double RR = display[40].value;
    const double VT = display[41].value;
    const double kg = weight.value;
    const double cm = height.value;
    const float* d = derived;

    set(0, 0);
    set(1, 1000 / VBV);
    set(2, 100 / VBV);
    set(3, 0.0203 * Hb);
    set(4, (LE + 105) * 0.01);
    set(5, 2.7 / (VC + 0.4));
    set(6, other[5] * 25.0 + 29);
    // O2 consumption (ml STPD/min) at the current metabolic rate and
    // temperature; 0 at and below 26 degrees (see power_from_zero).
    set(7, power_from_zero(T - 26, 1.05) * other[3] * M * 0.00081);
    // A lung elastance of 0 (its minimum) would divide PEEP by zero: the
    // elastance is taken as at least 0.1 cm water/litre here, which leaves
    // every elastance a user sets above that untouched.
    set(8, (30 - PEEP * 5 / std::max(LE, 0.1)) * 0.0016 * other[2] * (T - 12.2));
    set(9, (d[7] - static_cast<double>(other[3])) * 0.01);
    set(10, 0.00008333333);
    // Dry barometric pressure (mm Hg). At a low barometric pressure and a
    // high temperature water vapour alone would fill the lungs and the value
    // reaches 0 or below; entries 12, 34, 35 and 47 divide by it and the
    // alveolar pressures are fractions of it. It is held at 1 mm Hg at least,
    // so those stay finite and positive and the subject, breathing next to no
    // gas, goes hypoxic as it would.
    set(11, std::max(Pb - 0.03 * T * T - 5.92, 1.0));
    set(12, d[11] * 0.003592 / (T + 273));
    set(13, 0.9 / ECF);
    set(14, LRS + 1);
    set(15, 2 / kg);
    set(16, PUMP * 0.01);
    set(17, 0.16666667);
    set(18, VAE * 80);
    set(19, std::max((M - 90) * other[10] * 0.05, -1.0));
    set(20, 650 * VC + (XDS >= 0 ? 15 * std::sqrt(XDS) : 0));
    set(21, (40 - PEEP) * 0.025);
    set(22, 0.0037);
    set(23, 20 / Pb);
    set(24, other[2] * 0.3);
    set(25, 100.0 * d[12]);
    set(26, 7 / ECF);
    set(27, 0.0016666667);
    set(28, 30000 / (VBV + 1000));
    set(29, std::pow(kg, 0.425) * 0.000065 * std::pow(cm, 0.725));
    set(30, 520 / ECF);
    set(31, 2.7 / ECF);
    set(32, d[29]);
    set(33, 308.0 * d[3] - 0.65 * ECF * d[30]);
    set(34, 0.004 / (d[12] / 60.0));
    set(35, 0.01 / d[12]);
    set(36, 7.7 * d[13]);
    set(37, 60 * IE);
    set(38, 0.05 * FRC);
    set(39, 0.0021166666);
    set(40, (M - 25) * d[29] * 1.3);
    set(41, (T - 24.5) / 60 * 1.82);
    set(42, 0.003 * d[29]);
    set(43, 1 / (7.7 * d[3] + 1));
    const float B = static_cast<float>(std::pow(M * 0.01, 0.8) * VC * 0.2);
    set(44, RCO2 * B * 0.0132);
    set(45, RO2 * B * 0.008);
    // A negative resting consumption from a subject file would make the base
    // negative; it is held at 0 like the temperature powers.
    set(46, (power_from_zero(d[7] * 0.00051, 0.97) + 0.01) * DRV * 0.78);
    const double D = std::min(356 / static_cast<double>(d[11]) + 0.5, 1.0);
    // Breathing drive factor; 0 at and below 29 degrees (see power_from_zero).
    set(47, power_from_zero(T - 29, 1.5) * BC * 0.000214 * D);
    set(48, (T - 26) * 0.04 * VC);
    set(49, std::sqrt(1.25 * LE) + 9);
    set(50, (BC + 150) * 0.0275 * (T - 17));
    set(51, RR * VT * 0.001);
    set(52, 0.03 * FRC - 20 + XDS);
    set(53, 0.02);
    set(54, other[15] * 0.001);
    set(55, 0.167);
    set(56, 0.06);
    set(57, 1);
    set(58, 0.021166667);
    set(59, 0.005);
    set(60, 0.00013333333);
    // Damping weight of the cardiac output: F is lowered to 12 before the
    // division. other[19] = 0 (possible only from a subject file) makes the
    // quotient infinite; damp() counts every weight above 120 as 120, so
    // holding the entry at 120 changes no result and keeps it finite.
    const double cardiac_lag = std::min(std::pow(M * 0.01, 1.45), 12.0) / (0.015 * other[19]);
    set(61, std::min(cardiac_lag, 120.0));
    set(62, (DRV + 300) * 0.00025);
    // Damping weight of the brain oxygenation index. damp() counts any weight
    // above 120 as 120, so the weight is capped there; that also covers the
    // zero O2 consumption at and below 26 degrees, which would divide by 0.
    set(63, d[7] > 500.0 / 120 ? 500 / static_cast<double>(d[7]) : 120.0);
    set(64, 0.01488 * Hb * (VBV * 0.001 + ECF));
    set(65, 7.324 - DRV * 0.00005);
    set(66, d[65] - 0.002);
    set(67, DRV - 30);
    set(68, (M + 200) * 0.04);
    set(69, (FIT - 20) * 0.00035);
    set(70, d[29] * 1.3);
    set(71, sex * 1.6 + 21.7);
    set(72, 0.000033333334);
    set(73, FIT + std::clamp((1.5 * M - 150) * 0.02 - 7, -7.0, 0.0));
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
    display[36].value = static_cast<float>(metabolic_rate(factor[31].value));

    // Step 2: entries 0 to 73.
    compute_entries();

    // Step 3: the bicarbonate or acid addition is spread over the run's
    // steps. A run has at least one step: n below 1 counts as 1 so that the
    // factor never becomes infinite.
    factor[1].value = static_cast<float>(static_cast<double>(factor[1].value) / std::max(n, 1));

    // Step 4: pH of reference of the O2 curve from the unclamped 2,3-DPG.
    const double dpg = factor[0].value;
    other[4] = o2_curve_reference_ph(dpg);

    // Step 5: 2,3-DPG held at 13.
    if (dpg > 13) {
        factor[0].value = 13;
    }

    // Step 6: maximum heart rate and the pump's stroke coefficient.
    set(74, 210 - 0.65 * age.value);
    set(75, (sex * 0.2 + 1.5 + (33 - f(13)) * 0.1) * weight.value * derived[16]);
    watch_new_constants();
    return true;
}
