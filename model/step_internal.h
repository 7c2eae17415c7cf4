// SPDX-License-Identifier: Apache-2.0
// Internals of the one-second step, the bag, the outcome judgement and
// loading, shared between their files and the model's own tests.
// Nothing here is exported from the shared library.
#ifndef TOLVANE_STEP_INTERNAL_H
#define TOLVANE_STEP_INTERNAL_H

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model_internal.h"

// State values read as doubles, so that a formula written with them is
// evaluated in double precision; set_* stores a result as the model keeps
// every value, a 32-bit float.
inline double dsp(int i) { return display[i].value; }
inline double fct(int i) { return factor[i].value; }
inline double oth(int i) { return other[i]; }
inline double drv(int i) { return derived[i]; }
inline void set_dsp(int i, double v) { display[i].value = static_cast<float>(v); }
inline void set_fct(int i, double v) { factor[i].value = static_cast<float>(v); }
inline void set_oth(int i, double v) { other[i] = static_cast<float>(v); }

// Rounds an intermediate result to a float, as a named quantity of a stage is
// kept, while the arithmetic that uses it stays in double.
inline double f32(double v) { return static_cast<float>(v); }

// pH of blood from its bicarbonate (mmol/l) and PCO2 (mm Hg); both must be
// positive for the result to be finite.
inline double blood_ph(double bicarbonate, double pco2)
{
    return 6.1 + std::log(bicarbonate / (0.03 * pco2)) * 0.434294482;
}

// True while the subject breathes by itself (low byte of the ventilation flag).
bool natural_breathing();

// Values that one stage of a step hands to later stages of the same step.
struct step_context {
    float cardiac_output = 0;       // cardiac_output after stage 1, litres per minute
    float flow = 0;                 // blood flow of the step, decilitres
    float tissue_flow = 0;          // part of the flow that exchanges with the tissues
    float bypass_flow = 0;          // arterial blood reaching the venous pool unchanged
    float shunt = 0;                // s, fraction of the flow that bypasses the alveoli
    float unshunted = 0;            // n = 1 - s
    float o2_use = 0;               // u, tissue O2 use of the step (stage 6 to 8)
    float lactate_change = 0;       // L, net lactate of the step (stage 6 to 8, 9)
    float tissue_pco2_change = 0;   // delta P of tissue PCO2 (stage 8 to 9)
    float tissue_pco2 = 0;          // P_t, tissue PCO2 of stage 8 before the delay line
    float dead_space_adjust = 0;    // vd_adj (stage 10 to 13)
    bool pressure_changed = false;  // dry pressure differs from the last step's
};

// Stage 10's inspiratory weight t (above 1) at the run's O2 consumption
// (o2_consumption): t itself, or drawn down toward 1 in hard exercise, where so
// much blood meets the alveolar gas in one step that the overshoot beyond
// the inspired gas would make the alveolar PCO2 swing.
double inspiratory_weight_for_consumption(double t, double o2_consumption);

// Watch for a step leaving a value that is not finite (item 9):
// start_finite_watch() before the stages, end_finite_watch(code) after them
// returns the step's code, or 9. watch_new_inputs() when a subject is made
// live, watch_new_constants() after constant() has written the block.
void start_finite_watch();
int end_finite_watch(int code);
void watch_new_inputs();
void watch_new_constants();

// A sudden change of barometric pressure: before the stages of a step whose
// dry pressure differs from the last step's, the alveolar partial pressures
// are scaled to the new dry pressure. forget_dry_pressure() is called when a
// subject is made live.
// follow_dry_pressure() returns true in such a step.
bool follow_dry_pressure();
void forget_dry_pressure();
// After the stages: the alveolar pressures the step leaves, so that the next
// step sees whether an earlier moment was put back in between.
void remember_alveolar_pressures();
// What the pressure watch carries from one step to the next, for the step
// memory the front end saves and puts back.
struct dry_pressure_memory {
    float last_dry_pressure;
    float left_po2;
    float left_pco2;
};
dry_pressure_memory save_dry_pressure_memory();
void restore_dry_pressure_memory(const dry_pressure_memory& memory);

// A sudden change of haemoglobin or packed cell volume: before the stages of
// a step whose haemoglobin differs from the last step's, the O2 bound to
// haemoglobin in every blood store is scaled to the new haemoglobin, so that
// the blood keeps its saturation; in a step whose packed cell volume
// differs, the CO2 content of every blood store is scaled so that it keeps
// its PCO2. forget_blood_make_up() is called when a subject is made live.
// follow_blood_make_up() returns true in such a step.
bool follow_blood_make_up();
void forget_blood_make_up();
// After the stages: the arterial contents the step leaves, so that the next
// step sees whether an earlier moment was put back in between.
void remember_arterial_contents();
// What the watch carries from one step to the next (negative: not known).
struct blood_make_up_memory {
    float last_haemoglobin;
    float last_packed_cell_volume;
    float left_arterial_o2_content;
    float left_arterial_co2_content;
};
blood_make_up_memory save_blood_make_up_memory();
void restore_blood_make_up_memory(const blood_make_up_memory& memory);

// The stages of model(), in the order it calls them. Those returning int give
// 0 or the step's failure code.
void stage_cardiac_output(step_context& step);           // 1
void stage_venous_admixture(step_context& step);         // 3
void stage_arterial_pool(const step_context& step);      // 4
int stage_tissue_oxygen(step_context& step);             // 6, code 2
void stage_nitrogen(const step_context& step);           // 7
int stage_tissue_co2(step_context& step);                // 8, code 3
int stage_venous_pool(step_context& step);               // 9, code 4
int stage_alveolar_gas(step_context& step);              // 10, codes 5, 6, 7
int stage_capillary_blood();                             // 11, code 8
void stage_brain(const step_context& step);              // 12
void stage_breathing_control(const step_context& step);  // 13

// Tables looked up at the O2 uptake of the previous step (ml per minute).
extern const table_point respiratory_quotient_table[5];
extern const table_point lactate_clearance_table[10];
// Delay of the venous return (steps) against cardiac output (litres/min).
extern const table_point venous_delay_table[5];

// One slot of the venous delay line.
struct venous_delay_slot {
    float o2_content;   // venous_o2_content
    float co2_content;  // venous_co2_content
    float bicarbonate;  // venous_bicarbonate_amount
    float tissue_pco2;  // tissue_pco2
};
constexpr int venous_delay_slots = 60;
extern venous_delay_slot venous_delay_line[venous_delay_slots];
extern int venous_delay_write;

// Bag state at the end of the last bager() call; 10 at load.
extern int32_t previous_bag_state;

// ml STPD per (ml BTPS x percent) at the current barometric pressure and body
// temperature: derived entry btps_percent_to_stpd worked out afresh.
double btps_percent_to_stpd();

// Memory of sympt() between calls.
struct symptom_memory {
    int32_t bits = 0;              // symptoms already reported, bits 0..13
    int32_t previous_serious = 0;  // the last call found a serious symptom
    int32_t previous_any = 0;      // the last call found any symptom
};
extern symptom_memory symptoms;

// Forgets every symptom reported so far.
void clear_symptom_memory();

// Appends text to app_buf, cut at its capacity; app_buf stays NUL-terminated
// and is never written past its end.
void append_clinical_text(const char* text);

#endif
