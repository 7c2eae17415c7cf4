// SPDX-License-Identifier: Apache-2.0
// The model's state and catalogue: every exported variable with its content at
// load. Names and units are code page 1252 texts; the typographic quotes are
// the single bytes 0x91 and 0x92.
#include "model_internal.h"

extern "C" {

int32_t num_fct = TOLVANE_NUM_FACTORS;
int32_t num_dsy = TOLVANE_NUM_DISPLAYS;
int32_t num_oth = TOLVANE_NUM_OTHERS;

// The tables below keep their columns and one record a line.
// clang-format off

// Subject factors: name, value, minimum, maximum, unit. Values come from
// s_factor when load_new() runs.
catalogue_record factor[TOLVANE_NUM_FACTORS] = {
    {"2,3-DPG concentration in red cells", 0, 1, 15, "mmol/litre"},
    {"Addition of bicarbonate or acid, standard bicarb.", 0, -300, 300, "mmol"},
    {"Bag CO2 percentage", 0, 0, 25, "%"},
    {"Bag O2 percentage", 0, 0, 100, "%"},
    {"Bag volume", 0, 300, 30000, "ml BTPS"},
    {"Body temperature", 0, 25, 44, "degree centigrade"},
    {"Brain bicarbonate, deviation from normal (+/-)", 0, -15, 20, "mmol/litre"},
    {"Breathing capacity", 0, 0, 500, "% average normal"},
    {"Cardiac pump performance", 0, 0, 200, "% normal"},
    {"Central neurogenic (learnt) respiratory drive", 0, 0, 200, "% normal"},
    {"Extra anatomical right-to-left shunt", 0, 0, 90, "% cardiac output"},
    {"Extra dead space (above normal value)", 0, 0, 100, "ml BTPS"},
    {"Haemoglobin blood density", 0, 0, 25, "g/100 ml"},
    {"Index of state of physical fitness", 0, 27, 43, ""},
    {"Inspiratory/total breath duration ratio", 0, 0, 1, ""},
    {"Inspired CO2 percentage", 0, 0, 100, "%"},
    {"Inspired O2 percentage", 0, 0, 100, "%"},
    {"Left-to-right shunt, ratio to cardiac output", 0, 0, 5, ""},
    {"Lung elastance", 0, 0, 90, "cm water/litre"},
    {"Lung volume, (end-expiration)", 0, 0, 15000, "ml BTPS"},
    {"Maximum cardiac output", 0, 0, 50, "litre/min"},
    {"Packed cell volume", 0, 0, 80, "%"},
    {"Positive end-expiratory pressure", 0, 0, 50, "cm water"},
    {"Tissue ECF distribution volume", 0, 5, 50, "litres"},
    {"Tissue respiratory quotient", 0, 0, 15, "CO2 output/O2 uptake"},
    {"Total barometric pressure,", 0, 50, 3800, "mm Hg"},
    {"Venous admixture effect", 0, 0, 90, "% cardiac output"},
    {"Venous blood volume", 0, 500, 10000, "ml"},
    {"Ventilatory response to CO2 or H+", 0, 0, 500, "% average normal"},
    {"Ventilatory response to failing partial O2", 0, 0, 500, "% average normal"},
    {"Vital capacity", 0, 0, 10, "litres BTPS"},
    {"Work Rate", 0, 0, 200, "Watt"},
};

// Display variables; the last record is the "No display" placeholder.
catalogue_record display[TOLVANE_NUM_DISPLAYS] = {
    {"Alveolar CO2 amount", 0, 0, 200, "ml STPD"},
    {"Alveolar CO2 partial pressure", 0, 0, 75, "mm Hg"},
    {"Alveolar N2 amount", 0, 0, 500, "ml STPD"},
    {"Alveolar O2 amount", 0, 0, 500, "ml STPD"},
    {"Alveolar O2 partial pressure", 0, 0, 150, "mm Hg"},
    {"Alveolar ventilation", 0, 0, 20, "litres/mm BTPS"},
    {"Arbitrary index of risk of decompression symptoms", 0, 0, 200, ""},
    {"Arterial bicarbonate content", 0, 0, 50, "mmol/litre"},
    {"Arterial CO2 amount", 0, 0, 1000, "ml STPD"},
    {"Arterial CO2 content", 0, 0, 100, "ml/100 ml"},
    {"Arterial CO2 partial pressure", 0, 0, 75, "mm Hg"},
    {"Arterial lactate concentration", 0, 0, 10, "mmol/litre"},
    {"Arterial N2 partial pressure", 0, 0, 150, "mm Hg"},
    {"Arterial O2 amount", 0, 0, 1000, "ml STPD"},
    {"Arterial O2 content", 0, 0, 150, "ml/100 ml"},
    {"Arterial O2 partial pressure", 0, 0, 150, "mm Hg"},
    {"Arterial O2 saturation (maximum)", 0, 0, 100, "%"},
    {"Arterial pH", 0, 7, 8, ""},
    {"Arterial pool CO2 content of blood leaving", 0, 0, 100, "ml/100 ml"},
    {"Arterial pool N2 content of blood leaving", 0, 0, 10, "ml/100 ml"},
    {"Arterial pool O2 content of blood leaving", 0, 0, 100, "ml/100 ml"},
    {"Bag CO2 amount", 0, 0, 1000, "ml STPD"},
    {"Bag O2 amount", 0, 0, 1000, "ml STPD"},
    {"Brain blood flow", 0, 0, 200, "ml/100 g brain/min"},
    {"Brain CO2 amount", 0, 0, 1000, "ml STPD"},
    {"Brain CO2 content of blood leaving", 0, 0, 100, "ml/100 ml"},
    {"Brain CO2 partial pressure of blood leaving", 0, 0, 100, "mm Hg"},
    {"Brain O2 amount", 0, 0, 100, "ml STPD"},
    {"Brain O2 content of blood leaving", 0, 0, 100, "ml/100 ml"},
    {"Brain O2 partial pressure of blood leaving", 0, 0, 150, "mm Hg"},
    {"Brain bicarbonate content", 0, 0, 100, "mmol/litre"},
    {"Brain pH (at putative central chemoreceptor site)", 0, 7, 8, ""},
    {"Cardiac output (actual effective)", 0, 0, 20, "litre/mm"},
    {"Dead space (total effective physiological)", 0, 0, 500, "ml BTPS"},
    {"Excess N2 held above normal maximum saturation", 0, 0, 10, "ml STPD"},
    {"Heart rate", 0, 20, 220, "BPM"},
    {"Metabolic rate", 0, 0, 500, "% resting value"},
    {"Pulmonary capillary (idealized) blood CO2 content", 0, 0, 75, "ml/100 ml"},
    {"Pulmonary capillary (idealized) blood O2 content", 0, 0, 150, "ml/100 ml"},
    {"Respiratory quotient", 0, 0, 5, ""},
    {"Respiratory rate", 0, 0, 50, "cycles/min"},
    {"Tidal volume", 0, 0, 2500, "ml BTPS"},
    {"Tissue bicarbonate content of blood leaving", 0, 0, 75, "mmol/litre"},
    {"Tissue CO2 content of blood leaving", 0, 0, 75, "ml/100 ml"},
    {"Tissue CO2 partial pressure", 0, 0, 75, "mm Hg"},
    {"Tissue CO2 stores", 0, 5, 50, "litre STPD"},
    {"Tissue lactate amount (body total)", 0, 0, 50, "mmol"},
    {"Tissue N2 amount in \x91" "fast\x92" " compartment", 0, 0, 100, "ml STPD"},
    {"Tissue N2 amount in \x91" "slow\x92" " compartment", 0, 0, 4000, "ml STPD"},
    {"Tissue N2 partial in \x91" "fast\x92" " compartment", 0, 0, 1000, "mm Hg"},
    {"Tissue N2 partial in \x91" "slow\x92" " compartment", 0, 0, 4000, "mm Hg"},
    {"Tissue O2 amount", 0, 0, 1000, "ml STPD"},
    {"Tissue O2 content of blood leaving", 0, 0, 200, "ml/100 ml"},
    {"Tissue O2 partial pressure (time shifted values)", 0, 0, 150, "mm Hg"},
    {"Tissue pH ", 0, 7, 8, ""},
    {"Total ventilation", 0, 0, 50, "litres/min BTPS"},
    {"Venous admixture (total effective)", 0, 0, 100, "% cardiac output"},
    {"Venous bicarbonate amount", 0, 0, 50, "mmol"},
    {"Venous bicarbonate content (mixed venous)", 0, 0, 50, "mmol/litre"},
    {"Venous CO2 amount", 0, 0, 2000, "ml STPD"},
    {"Venous CO2 content (blood in pulmonary artery)", 0, 0, 100, "ml/100 ml"},
    {"Venous O2 amount", 0, 0, 2000, "ml STPD"},
    {"Venous O2 content of blood in pulmonary artery", 0, 0, 100, "ml/100 ml"},
    {"Venous pH (of mixed venous blood)", 0, 7, 8, ""},
    {"No display", 0, 0, 0, ""},
};

float other[TOLVANE_NUM_OTHERS] = {};

catalogue_record height = {"height", 0, 95, 200, "cm"};
catalogue_record weight = {"weight", 0, 20, 200, "kg"};
catalogue_record age = {"age", 0, 8, 100, "year"};
int32_t sex = 1;

// The standard subject: a resting man at sea level.
float s_height = 178;
float s_weight = 70;
float s_age = 40;
int32_t s_sex = 1;

float s_factor[TOLVANE_NUM_FACTORS] = {
    3.8f, 0,     0,     0,      10000, 37,    0,    100,   // 0..7
    100,  100,   0,     0,      14.8f, 31,    0.4f, 0.03f, // 8..15
    20.93f, 0,   5,     3000,   35,    45,    0,    12,    // 16..23
    0.8f, 760,   3,     3000,   100,   100,   5,    0,     // 24..31
};

// Standard value, kept-at-death flag, value at death.
standard_display_record s_display[TOLVANE_NUM_DISPLAYS - 1] = {
    {144.3f, 1, 0}, // 0 alveolar CO2 amount
    {39.93f, 1, 0}, // 1
    {1987, 1, 0},   // 2
    {347, 1, 0},    // 3
    {102.3f, 1, 0}, // 4 alveolar PO2
    {4.26f, 0, 0},  // 5 alveolar ventilation
    {0, 1, 0},      // 6
    {23.84f, 1, 0}, // 7 arterial bicarbonate
    {474, 1, 0},    // 8
    {47.35f, 1, 0}, // 9
    {39.9f, 1, 0},  // 10 arterial PCO2
    {0.99f, 1, 0},  // 11
    {7.22f, 1, 0},  // 12
    {195.3f, 1, 0}, // 13
    {19.54f, 1, 0}, // 14
    {93.18f, 1, 0}, // 15 arterial PO2
    {97.13f, 1, 0}, // 16
    {7.4f, 1, 0},   // 17 arterial pH
    {47.35f, 1, 0}, // 18
    {0.72f, 1, 0},  // 19
    {19.54f, 1, 0}, // 20
    {0, 1, 0},      // 21 bag CO2 amount
    {0, 1, 0},      // 22 bag O2 amount
    {52.89f, 1, 0}, // 23 brain blood flow
    {677.4f, 1, 0}, // 24
    {56.53f, 1, 0}, // 25
    {52.8f, 1, 0},  // 26
    {18.51f, 1, 0}, // 27
    {10.21f, 1, 0}, // 28
    {29.87f, 1, 0}, // 29
    {22.7f, 1, 0},  // 30 brain bicarbonate
    {7.33f, 1, 0},  // 31 brain pH
    {4.95f, 1, 0},  // 32 cardiac output
    {130.7f, 1, 0}, // 33 dead space
    {0, 1, 0},      // 34
    {63, 0, 0},     // 35 heart rate
    {100, 0, 0},    // 36 metabolic rate
    {47.25f, 1, 0}, // 37
    {19.65f, 1, 0}, // 38
    {0.8f, 0, 0},   // 39 respiratory quotient
    {12.82f, 0, 0}, // 40 respiratory rate
    {461.9f, 0, 0}, // 41 tidal volume
    {25.52f, 1, 0}, // 42
    {51.51f, 1, 0}, // 43
    {45.43f, 1, 0}, // 44 tissue PCO2
    {13.39f, 1, 0}, // 45
    {34.8f, 1, 0},  // 46
    {76.07f, 1, 0}, // 47
    {967, 1, 0},    // 48
    {570, 1, 0},    // 49
    {565, 1, 0},    // 50
    {177.6f, 1, 0}, // 51
    {14.39f, 1, 0}, // 52
    {40, 1, 0},     // 53
    {7.37f, 1, 0},  // 54 tissue pH
    {6.06f, 0, 0},  // 55 total ventilation
    {2.36f, 1, 0},  // 56
    {71.41f, 1, 0}, // 57 venous bicarbonate amount
    {25.52f, 1, 0}, // 58
    {1540, 1, 0},   // 59
    {51.33f, 1, 0}, // 60
    {434.8f, 1, 0}, // 61
    {14.5f, 1, 0},  // 62
    {7.37f, 1, 0},  // 63 venous pH
};

float s_other[TOLVANE_NUM_OTHERS] = {
    71.08f, 1,     4.6f,   240,   7.4f,   4,    0,     33.6f, 33.29f, 3000, // 0..9
    0,      6.06f, 45.72f, 0.1f,  317.4f, 0,    0,     8.88f, 0.08f,  100,  // 10..19
};

// Alternative kPa records of the pressure variables, in list order.
catalogue_record alt_fact[1] = {
    {"Total barometric pressure", 0, 6, 510, "kPa"},
};
int32_t a_f_lst[2] = {25, -1};

catalogue_record alt_dspy[11] = {
    {"Alveolar CO2 partial pressure", 0, 0, 10, "kPa"},
    {"Alveolar O2 partial pressure", 0, 0, 20, "kPa"},
    {"Arterial CO2 partial pressure", 0, 0, 10, "kPa"},
    {"Arterial N2 partial pressure", 0, 0, 20, "kPa"},
    {"Arterial O2 partial pressure", 0, 0, 20, "kPa"},
    {"Brain CO2 partial pressure of blood leaving", 0, 0, 15, "kPa"},
    {"Brain O2 partial pressure of blood leaving", 0, 0, 20, "kPa"},
    {"Tissue N2 partial in \x91" "fast\x92" " compartment", 0, 0, 500, "kPa"},
    {"Tissue N2 partial in \x91" "slow\x92" " compartment", 0, 0, 150, "kPa"},
    {"Venous CO2 partial pressure", 0, 0, 10, "kPa"},
    {"Venous partial O2 (approx. values - time shifted)", 0, 0, 20, "kPa"},
};
// Not sorted: 44 and 53 follow 49 and 50. Readers go by position.
int32_t a_d_lst[12] = {1, 4, 10, 12, 15, 26, 29, 49, 50, 44, 53, -1};

float history[TOLVANE_HISTORY_ROWS][TOLVANE_HISTORY_COLUMNS] = {};

const char* comment = "standard version Feb 13 2010";
const char* mdl_ver = "1.00";

char app_buf[TOLVANE_APP_BUF_SIZE] = {};

// References for the respiration dialog and the run controller; estab_pnt()
// binds them.
int32_t* ventilation = nullptr;
catalogue_record* res_rate = nullptr;
catalogue_record* tidal = nullptr;
catalogue_record* positive = nullptr;
int32_t* bag_index = nullptr;
catalogue_record* bag_vol = nullptr;
catalogue_record* bag_co2 = nullptr;
catalogue_record* bag_o2 = nullptr;

}  // extern "C"

// The two plain integers that the references ventilation and bag_index
// designate: natural ventilation, standard state without a bag.
int32_t ventilation_flag = 1;
int32_t bag_state = 10;

// clang-format on
