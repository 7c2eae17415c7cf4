// SPDX-License-Identifier: Apache-2.0
// Public interface of the respiration model library.
//
// The whole physiological state lives in the variables below; the front end
// reads and writes them in place. One call of model() is one simulated second.
// Everything has C linkage and plain types so that any host can bind it.
#ifndef TOLVANE_MODEL_H
#define TOLVANE_MODEL_H

#include <stdbool.h>
#include <stdint.h>

#if defined(TOLVANE_MODEL_BUILDING)
#define TOLVANE_API __attribute__((visibility("default")))
#else
#define TOLVANE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// One entry of the catalogue: factors, display variables, passport items and
// the alternative kPa records all share it. Name and unit texts are owned by
// the library (code page 1252) and are never written through a record.
typedef struct catalogue_record {
    const char* name;
    float value;
    float minimum;
    float maximum;
    const char* unit;
} catalogue_record;

// The standard subject's entry for one display variable.
typedef struct standard_display_record {
    float standard;         // copied into display[i].value by load_new()
    int32_t kept_at_death;  // 0: the front end records at_death when the subject dies
    float at_death;
} standard_display_record;

enum {
    TOLVANE_NUM_FACTORS = 32,
    TOLVANE_NUM_DISPLAYS = 65,  // including the final "No display"
    TOLVANE_NUM_OTHERS = 20,
    TOLVANE_NUM_DERIVED = 76,   // coefficients of a run, worked out by constant()
    TOLVANE_HISTORY_ROWS = 85,  // 65 display rows, then 20 other rows
    TOLVANE_HISTORY_COLUMNS = 1800,
    // The clinical message buffer holds at most TOLVANE_APP_BUF_SIZE - 1
    // characters; the library cuts any text that would not fit.
    TOLVANE_APP_BUF_SIZE = 256,
};

// Catalogue sizes.
TOLVANE_API extern int32_t num_fct;
TOLVANE_API extern int32_t num_dsy;
TOLVANE_API extern int32_t num_oth;

// Live state of the current subject.
TOLVANE_API extern catalogue_record factor[TOLVANE_NUM_FACTORS];
TOLVANE_API extern catalogue_record display[TOLVANE_NUM_DISPLAYS];
TOLVANE_API extern float other[TOLVANE_NUM_OTHERS];

// Passport of the current subject; sex is 0 female, 1 male.
TOLVANE_API extern catalogue_record height;
TOLVANE_API extern catalogue_record weight;
TOLVANE_API extern catalogue_record age;
TOLVANE_API extern int32_t sex;

// The standard subject that load_new() makes live; a subject file replaces it.
TOLVANE_API extern float s_height;
TOLVANE_API extern float s_weight;
TOLVANE_API extern float s_age;
TOLVANE_API extern int32_t s_sex;
TOLVANE_API extern float s_factor[TOLVANE_NUM_FACTORS];
TOLVANE_API extern standard_display_record s_display[TOLVANE_NUM_DISPLAYS - 1];
TOLVANE_API extern float s_other[TOLVANE_NUM_OTHERS];

// Alternative (kPa) records; list position k belongs to record k, lists end in -1.
TOLVANE_API extern catalogue_record alt_fact[1];
TOLVANE_API extern int32_t a_f_lst[2];
TOLVANE_API extern catalogue_record alt_dspy[11];
TOLVANE_API extern int32_t a_d_lst[12];

// Recorded values, written and read only by the front end: row r, column c.
TOLVANE_API extern float history[TOLVANE_HISTORY_ROWS][TOLVANE_HISTORY_COLUMNS];

// Identification texts.
TOLVANE_API extern const char* comment;
TOLVANE_API extern const char* mdl_ver;

// Clinical messages appended by sympt() and death(); the front end empties it.
TOLVANE_API extern char app_buf[TOLVANE_APP_BUF_SIZE];

// References bound by estab_pnt(); not to be used before it has run.
TOLVANE_API extern int32_t* ventilation;        // nonzero natural, 0 artificial (low byte counts)
TOLVANE_API extern catalogue_record* res_rate;  // display 40, respiratory_rate
TOLVANE_API extern catalogue_record* tidal;     // display 41, tidal_volume
TOLVANE_API extern catalogue_record* positive;  // factor 22, peep
TOLVANE_API extern int32_t* bag_index;          // bag state 9..13
TOLVANE_API extern catalogue_record* bag_vol;   // factor 4, bag_volume
TOLVANE_API extern catalogue_record* bag_co2;   // factor 2, bag_co2
TOLVANE_API extern catalogue_record* bag_o2;    // factor 3, bag_o2

// Advances the subject by one second. Returns 0, or a failure code 1..8 when a
// quantity that must stay positive did not; earlier stages' results stay.
// Code 9: the step completed but left a value that is not a finite number.
TOLVANE_API int32_t model(void);

// Derives the run's constants for a run of n steps; always returns true.
TOLVANE_API bool constant(int32_t n);

// Bag operations: 1 before each rebreathing step, 2 after the respiration
// dialog's OK; 11 and 12 are the model step's own. p and q may be null where
// the operation does not use them.
TOLVANE_API void bager(uint32_t op, float* p, float* q);

// True when the subject can go on no further; appends the cause to app_buf.
TOLVANE_API bool death(void);

// Reports new symptoms or improvement into app_buf. Returns the symptom bits at
// entry minus those at return: nonzero means news.
TOLVANE_API int32_t sympt(void);

// Binds the eight references; calling it again changes nothing.
TOLVANE_API void estab_pnt(void);

// Makes the standard subject live and forgets the past; always returns true.
TOLVANE_API bool load_new(void);

// --- Additions for the front end's rewind and restart -----------------------

// What a step carries from one call to the next besides the exported
// variables: the venous delay line, the bag state seen by the last bager()
// call, the memory of sympt(), the run's derived coefficients, and the dry
// barometric pressure and alveolar pressures the last step left (so that a
// change of pressure is followed from the moment put back).
typedef struct tolvane_step_memory {
    float venous_delay[60][4];   // per slot: venous O2 content, CO2 content,
                                 // bicarbonate, tissue PCO2
    int32_t venous_delay_write;  // slot the next step writes, 0..59
    int32_t previous_bag_state;
    int32_t symptom_bits;
    int32_t symptom_previous_serious;
    int32_t symptom_previous_any;
    float derived[TOLVANE_NUM_DERIVED];
    float last_dry_pressure;  // 0 when not known (a subject just made live)
    float left_alveolar_po2;
    float left_alveolar_pco2;
    float last_haemoglobin;         // negative when not known (a subject just made live)
    float last_packed_cell_volume;  // negative when not known
    float left_arterial_o2_content;
    float left_arterial_co2_content;
} tolvane_step_memory;

// Copies the step's own memory out of the library.
TOLVANE_API void tolvane_save_step_memory(tolvane_step_memory* memory);

// Puts a copy taken by tolvane_save_step_memory back; the next model() goes
// on exactly as after the step the copy was taken at.
TOLVANE_API void tolvane_restore_step_memory(const tolvane_step_memory* memory);

// The breathing circuit of a fresh subject: natural ventilation, bag state
// 10 and 10 as the bag state of the last bager() call. Touches nothing else.
TOLVANE_API void tolvane_standard_circuit(void);

// --- Additions beside the original interface: the O2 dissociation curve ----

// Saturation and O2 content of blood by the model's own chemistry, the same
// that every blood compartment of model() uses, for given conditions rather
// than the live subject's:
//   po2, pco2    partial pressures (mm Hg); po2 >= 0, pco2 > 0
//   ph           pH of the blood
//   temperature  body temperature (degrees centigrade)
//   dpg          2,3-DPG in red cells (mmol/litre); sets the curve's pH of
//                reference as constant() does for a run, (dpg - 3.8) x 0.025
//                + 7.4, at most 7.58
//   haemoglobin  g/100 ml, >= 0
// Writes the saturation (fraction 0..1) to *saturation and the O2 content
// (ml/100 ml: dissolved plus bound) to *o2_content; either may be null.
// Reads and writes no model state, so it may be called at any time, also
// between the steps of a run. Returns false, and writes nothing, when an
// input is not a finite number or lies outside the ranges above.
TOLVANE_API bool tolvane_o2_saturation(float po2, float pco2, float ph, float temperature, float dpg,
                                       float haemoglobin, float* saturation, float* o2_content);

#ifdef __cplusplus
}
#endif

#endif
