// SPDX-License-Identifier: Apache-2.0
// Names shared between the files of the model library and its own tests.
// Nothing here is exported from the shared library.
#ifndef TOLVANE_MODEL_INTERNAL_H
#define TOLVANE_MODEL_INTERNAL_H

#include "slot_ids.h"
#include "tolvane_model.h"

// Coefficients of the current run, written only by constant().
extern float derived[derived_id::count];
static_assert(int{derived_id::count} == int{TOLVANE_NUM_DERIVED});

// The plain integers behind the references ventilation and bag_index:
// ventilation flag (nonzero natural, 0 artificial; low byte counts) and bag
// state (9..13). Defined with the catalogue; estab_pnt() binds the references.
extern int32_t ventilation_flag;
extern int32_t bag_state;

// One point of a piecewise-linear table.
struct table_point {
    float x;
    float y;
};

// First-order lag: moves old toward target by 1/(w+1) of the gap; w is
// clamped to 0..120, so w <= 0 gives the target.
float damp(float target, float old, float w);

// Piecewise-linear lookup of x in n points with rising x; no extrapolation.
float interpolate(float x, const table_point* table, int n);

// Contents (ml/100 ml) and saturation (fraction) of blood at the given pH and
// partial pressures (mm Hg). Requires pco2 > 0.
void blood_contents(float pH, float po2, float pco2, float& o2_content, float& co2_content,
                    float& saturation);

// What blood_contents reads besides its arguments: body temperature (degrees
// centigrade), haemoglobin (g/100 ml), packed cell volume (%) and the pH of
// reference of the O2 curve.
struct blood_conditions {
    double temperature;
    double haemoglobin;
    double packed_cell_volume;
    double reference_ph;
};

// The live subject's: body temperature, haemoglobin, packed cell volume and the O2 curve's reference pH.
blood_conditions current_blood_conditions();

// blood_contents under given conditions; reads no model state.
void blood_contents_at(const blood_conditions& blood, float pH, float po2, float pco2, float& o2_content,
                       float& co2_content, float& saturation);

// The pH of reference of the O2 curve for a 2,3-DPG concentration (constant()
// step 4; capped at 7.58).
float o2_curve_reference_ph(double dpg);

// Partial pressures that give the target contents, searched from the pressures
// passed in; always returns within a bounded number of rounds.
void blood_pressures(float pH, float& po2, float& pco2, float target_o2, float target_co2, float& saturation);

// Stage 2: slow drift of 2,3-DPG toward its target.
void stage_dpg_drift();

// Stage 5: arterial bicarbonate, pH, PO2, PCO2 and saturation. Returns 0 or code 1.
int stage_arterial_blood();

// Venous delay line: c is the cardiac output, or negative to refill every slot.
void venous_delay(float c);

#endif
