// SPDX-License-Identifier: Apache-2.0
// Blood gas chemistry shared by every blood compartment: contents from
// pressures, pressures from contents, and the two stages of the step that
// belong to it (2,3-DPG drift and arterial blood).
#include <cmath>

#include "model_internal.h"

namespace {

constexpr double ln10 = 2.302585092994046;

// Kelman's O2 dissociation coefficients, single precision as published.
constexpr double a1 = -8532.2285f;
constexpr double a2 = 2121.4009f;
constexpr double a3 = -67.07399f;
constexpr double b0 = 935960.875f;
constexpr double b1 = -31346.26f;
constexpr double b2 = 2396.167f;
constexpr double b3 = -67.104408f;

// Contents of both gases must come within this of their targets (ml/100 ml).
constexpr float tolerance = 0.01f;

// The solver never lets a pressure fall below this (mm Hg).
constexpr float pressure_floor = 0.1f;

// Nor rise above this (mm Hg). No gas in the body can be at a higher partial
// pressure than the highest barometric pressure of the catalogue (3800); the
// secant step can otherwise run away on targets that no pressure reaches (at
// an extreme pH) and hand the step a pressure of 1e25 that overflows later.
constexpr float pressure_ceiling = 5000.0f;

float within_solver_range(double p)
{
    if (!(p >= pressure_floor)) {  // also NaN
        return pressure_floor;
    }
    return p > pressure_ceiling ? pressure_ceiling : static_cast<float>(p);
}

// Bound on the contents evaluations of one solve. A solve from the previous
// step's pressures takes a handful; targets that no pressure of 0.1 mm Hg or
// more can reach would otherwise keep the search going for ever. On reaching
// the bound the solver returns the pressures of its last evaluation.
constexpr int max_evaluations = 100;

// Working values of the search for one gas.
struct gas_search {
    float step_size = 0.5f;
    float signed_step = 0;
    bool active = true;
    bool restart = true;
    float error = 0;
    float point = 0;
    float previous_error = 0;
    float previous_point = 0;
};

// A step of the given size toward the target: up while the content is short.
float step_toward_target(float error, float size) { return error <= 0 ? size : -size; }

float ph_from(double bicarbonate, double pco2)
{
    return static_cast<float>(6.1 + std::log(bicarbonate / (0.03 * pco2)) * 0.434294482);
}

}  // namespace

void blood_contents_at(const blood_conditions& blood, float pH, float po2, float pco2, float& o2_content,
                       float& co2_content, float& saturation)
{
    const double T = blood.temperature;
    const double cold = 37 - T;
    const double ph = pH;

    // Virtual PO2: the pressure that would give the same saturation at the
    // standard curve's pH, PCO2 and temperature.
    double x = po2 * std::exp(ln10 * (0.026057669 * std::log(40.0 / pco2) + 0.4 * (ph - blood.reference_ph) +
                                      0.024 * cold));
    if (x < 0.01) {
        x = 0.01;
    }

    double S;
    if (x < 10) {
        S = (0.003683 + 0.000584 * x) * x;
    } else {
        S = ((((x + a3) * x + a2) * x + a1) * x) / ((((x + b3) * x + b2) * x + b1) * x + b0);
    }
    o2_content = static_cast<float>(0.003 * po2 + blood.haemoglobin * S * 1.34);

    const double d = 7.4 - ph;
    const double pK = 6.086 + 0.042 * d + (38 - T) * (0.00472 + 0.00139 * d);
    const double solubility = 0.0307 + (0.00057 + 0.00002 * cold) * cold;
    const double oxygenated_ratio = 0.59 + (0.2913 - 0.0844 * d) * d;
    const double reduced_ratio = 0.664 + (0.2275 - 0.0938 * d) * d;
    const double ratio = oxygenated_ratio + (1 - S) * (reduced_ratio - oxygenated_ratio);
    const double plasma = solubility * pco2 * (1 + std::exp(ln10 * (ph - pK)));
    const double cells = ratio * plasma;
    const double h = blood.packed_cell_volume * 0.01;
    co2_content = static_cast<float>(((1 - h) * plasma + h * cells) * 2.22);
    saturation = static_cast<float>(S);
}

blood_conditions current_blood_conditions()
{
    // Each float widened to double exactly, as the formulas always took them.
    return {factor[factor_id::body_temperature].value, factor[factor_id::haemoglobin].value,
            factor[factor_id::packed_cell_volume].value, other[other_id::o2_curve_reference_ph]};
}

void blood_contents(float pH, float po2, float pco2, float& o2_content, float& co2_content, float& saturation)
{
    blood_contents_at(current_blood_conditions(), pH, po2, pco2, o2_content, co2_content, saturation);
}

void blood_pressures(float pH, float& po2, float& pco2, float target_o2, float target_co2, float& saturation)
{
    float* const pressure[2] = {&po2, &pco2};
    const float target[2] = {target_o2, target_co2};
    gas_search gas[2];
    float content[2];
    int evaluations = 0;

    // Starting estimates outside the range (a state edited by hand) start at its edge.
    for (float* p : pressure) {
        *p = within_solver_range(*p);
    }

    for (;;) {
        // Restart point: errors at the current pressures.
        blood_contents(pH, po2, pco2, content[0], content[1], saturation);
        ++evaluations;
        for (int g = 0; g < 2; ++g) {
            float error = static_cast<float>(static_cast<double>(content[g]) - target[g]);
            gas[g].error = error == 0 ? 0.001f : error;
            gas[g].point = *pressure[g];
        }
        if (gas[0].restart) {
            gas[0].restart = false;
            gas[0].signed_step = step_toward_target(gas[0].error, gas[0].step_size);
        }
        if (gas[1].restart) {
            gas[1].restart = false;
            gas[1].signed_step = step_toward_target(gas[1].error, gas[1].step_size);
            for (gas_search& s : gas) {
                if (std::fabs(s.error) <= tolerance) {
                    s.active = false;
                }
            }
            if (!gas[0].active && !gas[1].active) {
                return;
            }
        }
        if (evaluations >= max_evaluations) {
            return;
        }

        for (;;) {
            // Move each active gas; never down by more than three quarters,
            // never outside the floor and the ceiling.
            for (int g = 0; g < 2; ++g) {
                const double p = *pressure[g];
                double move = gas[g].active ? gas[g].signed_step : 0.0;
                if (p + move < 0.25 * p) {
                    move = -0.75 * p;
                }
                *pressure[g] = within_solver_range(p + move);
            }

            blood_contents(pH, po2, pco2, content[0], content[1], saturation);
            ++evaluations;
            for (int g = 0; g < 2; ++g) {
                gas[g].previous_error = gas[g].error;
                gas[g].previous_point = gas[g].point;
                gas[g].error = static_cast<float>(static_cast<double>(content[g]) - target[g]);
                gas[g].point = *pressure[g];
            }
            if (evaluations >= max_evaluations) {
                return;
            }

            for (int g = 0; g < 2; ++g) {
                gas_search& s = gas[g];
                if (std::fabs(s.error) <= tolerance) {
                    s.active = false;
                    continue;
                }
                s.active = true;
                const double error = s.error;
                const double previous_error = s.previous_error;
                const double span = static_cast<double>(s.point) - s.previous_point;
                const double progress = error * s.signed_step;
                if (progress < 0) {
                    // Target still ahead: secant step, or a plain step when
                    // the last move told nothing.
                    if (s.point == s.previous_point || s.error == s.previous_error) {
                        s.signed_step = step_toward_target(s.error, s.step_size);
                    } else {
                        s.signed_step =
                            static_cast<float>(std::fabs(error) * span / std::fabs(error - previous_error));
                    }
                } else if (progress > 0) {
                    // Target passed: go back to the interpolated crossing and
                    // search again with half the step.
                    s.restart = true;
                    *pressure[g] = within_solver_range(s.previous_point +
                                                       std::fabs(previous_error) * span /
                                                           (std::fabs(error) + std::fabs(previous_error)));
                    s.step_size *= 0.5f;
                }
            }

            if (!gas[0].active && !gas[1].active) {
                return;
            }
            if (gas[0].restart || gas[1].restart) {
                break;
            }
        }
    }
}

// Stage 2: 2,3-DPG drifts toward a target that rises as arterial O2 content
// falls. Writes dpg.
void stage_dpg_drift()
{
    const double dpg = factor[factor_id::dpg].value;
    factor[factor_id::dpg].value =
        static_cast<float>(dpg + (derived[derived_id::dpg_target] -
                                  static_cast<double>(display[display_id::arterial_o2_content].value) - dpg) *
                                     derived[derived_id::dpg_drift_rate]);
}

// Stage 5: arterial bicarbonate, pH, PO2, PCO2 and saturation. Writes arterial_bicarbonate,
// arterial_ph, arterial_po2, arterial_pco2, arterial_saturation. Returns 1 when the bicarbonate is
// gone.
int stage_arterial_blood()
{
    const double bicarbonate = static_cast<double>(display[display_id::venous_bicarbonate_amount].value) *
                                   derived[derived_id::venous_bicarbonate_scale] +
                               (static_cast<double>(display[display_id::arterial_pco2].value) - 40) *
                                   derived[derived_id::bicarbonate_per_pco2];
    display[display_id::arterial_bicarbonate].value = static_cast<float>(bicarbonate);
    if (display[display_id::arterial_bicarbonate].value <= 0) {
        return failure_code::arterial_bicarbonate_gone;
    }
    // A PCO2 below the solver's floor can only come from a state edited by
    // hand; the pH is taken at the floor rather than as a logarithm of a
    // negative or infinite ratio.
    const double pco2 = display[display_id::arterial_pco2].value >= pressure_floor
                            ? display[display_id::arterial_pco2].value
                            : pressure_floor;
    display[display_id::arterial_ph].value = ph_from(display[display_id::arterial_bicarbonate].value, pco2);

    float saturation = 0;
    blood_pressures(display[display_id::arterial_ph].value, display[display_id::arterial_po2].value,
                    display[display_id::arterial_pco2].value, display[display_id::arterial_o2_content].value,
                    display[display_id::arterial_co2_content].value, saturation);
    display[display_id::arterial_saturation].value = static_cast<float>(100.0 * saturation);
    return 0;
}
