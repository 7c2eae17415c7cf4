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
    {450, 0.27f},  {578, 0.28f},  {626, 0.402f},  {730, 1.99f},  {734, 2.0f},
    {860, 8.0f},   {1010, 14.0f}, {1130, 23.5f},  {2500, 5.5f},  {3500, 0.35f},
};

namespace {

// O2 uptake of the previous step in ml per minute, the key of both tables.
float uptake_per_minute()
{
    return static_cast<float>(60.0 * oth(7));
}

}  // namespace

// Stage 6: tissue O2, aerobic and anaerobic metabolism, lactate. Writes
// display[51], [53], [46], [11], other[16], and passes on the O2 use u and the
// net lactate change L. Returns 0 or code 2.
int stage_tissue_oxygen(step_context& step)
{
    const double co = step.cardiac_output;
    const double u =
        f32((std::pow(std::fabs(oth(11)), drv(4)) * drv(5) + co + drv(7)) / 60);
    step.o2_use = static_cast<float>(u);

    set_dsp(51, dsp(51) + (dsp(20) - dsp(52)) * step.tissue_flow - u + oth(16));
    if (display[51].value <= 0) {
        return 2;
    }
    display[53].value = damp(static_cast<float>(dsp(51) * drv(31)), display[53].value, derived[55]);
    if (display[51].value > 250) {
        set_dsp(53, 45 + 0.09 * (dsp(51) - 250));
    }

    // Clearance of lactate.
    const double b = f32(dsp(11) * drv(29));
    const double f = f32(std::min(dsp(23) * 0.019, 1.0));
    const double g = f32(std::min(dsp(54) * 10 - 69, f));
    double c = f32(std::min(g * 0.8612 * b + std::pow(2.0, (8 - dsp(54)) * 3.33) * 0.0232 * b, 0.3));
    c = f32(c + b * interpolate(uptake_per_minute(), lactate_clearance_table, 10));

    // Production of lactate. f is a share of flow; a brain flow driven below
    // zero by strong alkalosis would bring f + 0.3 to zero, so f counts as
    // no less than 0 here.
    double p = f32(drv(70) / (std::max(f, 0.0) + 0.3));
    if (dsp(53) < drv(73)) {
        const double k = f32(drv(73) - dsp(53));
        p = f32(p + std::pow(k + 1, 4) * drv(42));
        c = f32(c * dsp(53) * 0.04);
    }
    const double a = f32(std::min((p - drv(32)) * 2.04, u));
    other[16] = damp(static_cast<float>(a), other[16], derived[53]);
    p = std::min(p, drv(40));
    if (co < drv(24)) {
        c = f32(c * co / drv(24));
    }
    const double L = f32(p - c);
    step.lactate_change = static_cast<float>(L);
    set_dsp(46, dsp(46) + L);
    // A stopped heart gives the largest weight instead of a division by zero.
    const float w = co > 0 ? static_cast<float>(drv(55) / co) : 120.0f;
    display[11].value = damp(static_cast<float>(dsp(46) * drv(15)), display[11].value, w);
    return 0;
}

// Stage 7: the fast and slow tissue nitrogen compartments and the excess
// nitrogen held as bubbles. Writes display[47], [48], [49], [50], [34], [6].
void stage_nitrogen(const step_context& step)
{
    const double x = f32((dsp(49) - dsp(50)) * drv(60));
    set_dsp(47, dsp(47) + (dsp(19) - dsp(49) * 0.00127) * step.tissue_flow - x);
    set_dsp(48, dsp(48) + x);
    double y = f32((dsp(48) * drv(26) - drv(11)) * drv(27));
    const bool supersaturated = y > 0;
    if (supersaturated || display[34].value > 0) {
        if (!supersaturated) {
            y = f32(y * 0.3);  // bubbles dissolve at three tenths of the rate
        }
        set_dsp(48, dsp(48) - y);
        // Dissolving can take the excess below zero when less was held than
        // one step dissolves; a negative excess holds no bubbles, so it counts
        // as zero in the risk index (no power of a negative number).
        set_dsp(6, std::pow(std::max(dsp(34), 0.0), 1.2) * drv(23));
        set_dsp(34, dsp(34) + y);
    }
    set_dsp(50, dsp(48) * drv(26));
    set_dsp(49, dsp(47) * drv(28));
}

// Stage 8: tissue CO2 stores, tissue bicarbonate and pH. Writes factor[24],
// display[45], [44], [42], [54], [52], [43], other[12], other[14], and passes
// on the tissue PCO2 and its change. Returns 0 or code 3.
int stage_tissue_co2(step_context& step)
{
    factor[24].value = interpolate(uptake_per_minute(), respiratory_quotient_table, 5);
    set_dsp(45, dsp(45) + (fct(24) * step.o2_use + (dsp(18) - dsp(43)) * step.tissue_flow) * 0.001);
    double pco2 = (dsp(45) * drv(30) - oth(14) * drv(36) + drv(33)) * drv(43);
    // Stores run down far enough (strong hyperventilation) would give a
    // tension of zero or less, which has no pH and no blood contents; the
    // tension is held at the blood solver's floor of 0.1 mm Hg.
    if (pco2 < 0.1) {
        pco2 = 0.1;
    }
    set_dsp(44, pco2);
    step.tissue_pco2 = display[44].value;
    step.tissue_pco2_change = static_cast<float>(dsp(44) - oth(12));
    other[12] = display[44].value;

    set_oth(14, oth(14) + (dsp(57) * drv(1) - oth(14) * drv(13)) * step.tissue_flow * 0.1 -
                    step.lactate_change);
    set_dsp(42, oth(14) * drv(13) + (dsp(44) - 40) * drv(3));
    if (display[42].value <= 0) {
        return 3;
    }
    set_dsp(54, blood_ph(dsp(42), dsp(44)));
    float saturation = 0;
    blood_contents(display[54].value, display[53].value, display[44].value, display[52].value,
                   display[43].value, saturation);
    return 0;
}

// Stage 12: brain blood flow, brain O2 and CO2, brain bicarbonate deviation
// and the central chemoreceptor pH. Writes display[23], [24], [25], [26],
// [27], [28], [29], [31] and factor[6].
void stage_brain(const step_context& step)
{
    const double a = f32(std::min(std::sqrt(static_cast<double>(step.cardiac_output)) * 0.5, 1.0));
    double e = f32((7.4 - dsp(31)) * (dsp(26) * 0.0184 - fct(6) * 0.1));
    if (e > 0) {
        e = f32(300 * e * e);
    }
    e = std::min(e, 4.4);
    display[23].value = damp(static_cast<float>((e - 0.12) * 42.5 * a),
                             static_cast<float>(dsp(23) * a), derived[55]);
    const double q = f32(dsp(23) * drv(39));

    const double m = f32((oth(1) + 0.25) * drv(41));
    double mo = m;
    double mc = m;
    if (display[29].value <= 18) {
        mo = f32(std::max((dsp(29) * 0.11 - 1) * m, 0.0));
        mc = f32((19 - dsp(29)) * m);
    }
    set_dsp(27, dsp(27) + (dsp(14) - dsp(28)) * q - 2 * mo * (oth(1) + 0.1));
    if (display[27].value <= 0) {
        display[27].value = 0.1f;
    }
    set_dsp(24, dsp(24) + (dsp(9) - dsp(25)) * q + 2.15 * mc);
    set_dsp(29, dsp(27) * 1.6);
    set_dsp(26, dsp(24) * 0.078);
    // A brain CO2 amount washed out to zero or below has no tension, pH or
    // blood contents; the tension is held at the blood solver's floor.
    if (display[26].value < 0.1f) {
        display[26].value = 0.1f;
    }

    const double h = f32(dsp(30) + fct(6) + 0.2 * (dsp(26) - 40));
    set_fct(6, fct(6) + ((dsp(7) - 24) * 0.3 - fct(6)) * drv(42));

    // Two parts brain to one part arterial, for bicarbonate and for PCO2. A
    // combined bicarbonate of zero or less has no pH: the chemoreceptor then
    // keeps its pH (the target is its present value).
    const double bicarbonate = 2 * h + dsp(7);
    const double c = bicarbonate > 0
                         ? f32(blood_ph(bicarbonate, 2 * dsp(26) + dsp(10)))
                         : dsp(31);
    const double d = std::fabs(c - dsp(31)) * 100;
    const double k = f32(std::min(d * d + 0.04, drv(17)));
    display[31].value = damp(static_cast<float>(c), display[31].value, static_cast<float>(1 / k));

    // Brain venous blood; without positive bicarbonate it has no pH and the
    // contents of blood leaving keep their values.
    const double venous_bicarbonate = (dsp(26) - 40) * drv(3) + dsp(57) * drv(1);
    if (venous_bicarbonate > 0) {
        const float v = static_cast<float>(blood_ph(venous_bicarbonate, dsp(26)));
        float saturation = 0;
        blood_contents(v, display[29].value, display[26].value, display[28].value,
                       display[25].value, saturation);
    }
}
