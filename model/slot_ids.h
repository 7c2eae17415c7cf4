// SPDX-License-Identifier: Apache-2.0
// Named slots of the catalogue: the index of every subject factor, display
// variable, other variable and derived entry under a short name, the table of
// factor and display names for lookup, the bag states and the failure codes
// of model().
// The short names are also what users type (`tolvane-batch --set
// inspired_o2=15`, a script's "set work_rate 100"), so they are chosen for
// people: lower-case, words joined by "_", unique across both lists.
// Internal to the project, not part of the library's C interface; header
// only, every entry a compile-time constant.
#ifndef TOLVANE_SLOT_IDS_H
#define TOLVANE_SLOT_IDS_H

#include <array>
#include <string_view>

// Subject factors, in catalogue order (factor[i]).
namespace factor_id {
enum : int {
    dpg = 0,
    bicarbonate_addition = 1,
    bag_co2 = 2,
    bag_o2 = 3,
    bag_volume = 4,
    body_temperature = 5,
    brain_bicarbonate_deviation = 6,
    breathing_capacity = 7,
    cardiac_performance = 8,
    central_drive = 9,
    right_to_left_shunt = 10,
    extra_dead_space = 11,
    haemoglobin = 12,
    fitness_index = 13,
    inspiratory_time_ratio = 14,
    inspired_co2 = 15,
    inspired_o2 = 16,
    left_to_right_shunt = 17,
    lung_elastance = 18,
    lung_volume = 19,
    max_cardiac_output = 20,
    packed_cell_volume = 21,
    peep = 22,
    tissue_ecf_volume = 23,
    tissue_rq = 24,
    barometric_pressure = 25,
    venous_admixture = 26,
    venous_blood_volume = 27,
    co2_response = 28,
    hypoxic_response = 29,
    vital_capacity = 30,
    work_rate = 31,
    count = 32,
};
}  // namespace factor_id

// Display variables, in catalogue order (display[i]); the last one is the
// "No display" placeholder that a panel row may show.
namespace display_id {
enum : int {
    alveolar_co2_amount = 0,
    alveolar_pco2 = 1,
    alveolar_n2_amount = 2,
    alveolar_o2_amount = 3,
    alveolar_po2 = 4,
    alveolar_ventilation = 5,
    decompression_risk = 6,
    arterial_bicarbonate = 7,
    arterial_co2_amount = 8,
    arterial_co2_content = 9,
    arterial_pco2 = 10,
    arterial_lactate = 11,
    arterial_pn2 = 12,
    arterial_o2_amount = 13,
    arterial_o2_content = 14,
    arterial_po2 = 15,
    arterial_saturation = 16,
    arterial_ph = 17,
    arterial_pool_co2_content = 18,
    arterial_pool_n2_content = 19,
    arterial_pool_o2_content = 20,
    bag_co2_amount = 21,
    bag_o2_amount = 22,
    brain_blood_flow = 23,
    brain_co2_amount = 24,
    brain_co2_content = 25,
    brain_pco2 = 26,
    brain_o2_amount = 27,
    brain_o2_content = 28,
    brain_po2 = 29,
    brain_bicarbonate = 30,
    brain_ph = 31,
    cardiac_output = 32,
    dead_space = 33,
    excess_n2 = 34,
    heart_rate = 35,
    metabolic_rate = 36,
    capillary_co2_content = 37,
    capillary_o2_content = 38,
    respiratory_quotient = 39,
    respiratory_rate = 40,
    tidal_volume = 41,
    tissue_bicarbonate = 42,
    tissue_co2_content = 43,
    tissue_pco2 = 44,
    tissue_co2_stores = 45,
    tissue_lactate = 46,
    tissue_n2_fast = 47,
    tissue_n2_slow = 48,
    tissue_pn2_fast = 49,
    tissue_pn2_slow = 50,
    tissue_o2_amount = 51,
    tissue_o2_content = 52,
    tissue_po2 = 53,
    tissue_ph = 54,
    total_ventilation = 55,
    total_venous_admixture = 56,
    venous_bicarbonate_amount = 57,
    venous_bicarbonate = 58,
    venous_co2_amount = 59,
    venous_co2_content = 60,
    venous_o2_amount = 61,
    venous_o2_content = 62,
    venous_ph = 63,
    no_display = 64,
    count = 65,  // including no_display
};
}  // namespace display_id

// Other variables, in catalogue order (other[i]); named after what the
// stages keep in them. The "parameter" entries come only from a subject file.
namespace other_id {
enum : int {
    alveolar_ventilation_per_step = 0,  // ml BTPS, (tidal volume - dead space) x rate / 60
    brain_oxygenation = 1,              // 0..1, tends to 1 while the brain has O2
    cardiac_parameter = 2,       // subject file only: scales cardiac_output_base and clearance_cardiac_output
    resting_o2_consumption = 3,  // ml STPD per minute, subject file only
    o2_curve_reference_ph = 4,   // pH of reference of the O2 curve, from 2,3-DPG
    max_drive_parameter = 5,     // subject file only: scales max_drive
    anoxia_index = 6,            // accumulated brain anoxia
    o2_uptake_per_step = 7,      // ml STPD taken from the inspired gas
    co2_output_per_step = 8,     // ml STPD given to the expired gas
    saved_lung_volume = 9,       // ml BTPS, lung volume kept while the glottis is closed
    admixture_exercise_parameter = 10,  // subject file only: scales admixture_exercise
    ventilation_demand = 11,            // damped spontaneous demand, litres per minute
    previous_tissue_pco2 = 12,          // mm Hg, tissue PCO2 of the previous step
    slow_acid_load = 13,                // mmol awaiting slow compensation
    tissue_bicarbonate_amount = 14,     // mmol in the extracellular fluid
    dead_space_parameter = 15,          // subject file only: scales dead_space_per_tidal_volume
    anaerobic_o2_credit = 16,           // ml STPD per step, damped
    damped_central_drive = 17,          // damped toward central_drive_target
    stroke_volume = 18,                 // litres
    cardiac_lag_parameter = 19,         // subject file only: divides cardiac_output_lag
    count = 20,
};
}  // namespace other_id

// Entries of the block that constant() computes (derived[i]), named after
// what each formula gives; plain numbers are model coefficients.
namespace derived_id {
enum : int {
    always_zero = 0,                     // 0, read by nothing
    venous_bicarbonate_scale = 1,        // 1000 / VBV: venous bicarbonate amount to concentration
    venous_content_scale = 2,            // 100 / VBV: venous amounts to contents
    bicarbonate_per_pco2 = 3,            // 0.0203 x Hb: buffer slope of blood
    breathing_work_exponent = 4,         // (LE + 105) x 0.01
    breathing_work_scale = 5,            // 2.7 / (VC + 0.4)
    max_drive = 6,                       // other[max_drive_parameter] x 25 + 29
    o2_consumption = 7,                  // ml STPD per minute at the metabolic rate and temperature
    cardiac_output_base = 8,             // falls with PEEP against lung elastance
    cardiac_output_exercise = 9,         // consumption above rest x 0.01
    slow_acid_rate = 10,                 // 1 / 12000
    dry_pressure = 11,                   // barometric pressure less water vapour, mm Hg
    btps_percent_to_stpd = 12,           // ml STPD per (ml BTPS x percent)
    tissue_bicarbonate_scale = 13,       // 0.9 / ECF: tissue bicarbonate amount to concentration
    pulmonary_flow_ratio = 14,           // LRS + 1
    lactate_concentration_scale = 15,    // 2 / weight: lactate amount to concentration
    pump_fraction = 16,                  // PUMP x 0.01
    flow_per_cardiac_output = 17,        // 1 / 6: decilitres per second per litre per minute
    admixture_base = 18,                 // VAE x 80
    admixture_exercise = 19,             // (M - 90) x other[admixture_exercise_parameter] x 0.05
    max_tidal_volume = 20,               // ml
    admixture_peep_scale = 21,           // (40 - PEEP) x 0.025
    arterial_pool_lag_scale = 22,        // 0.0037: damping of the arterial pool per cardiac output
    decompression_risk_scale = 23,       // 20 / Pb
    clearance_cardiac_output = 24,       // cardiac output below which lactate clearance falls
    btps_to_stpd = 25,                   // 100 x entry btps_percent_to_stpd
    slow_n2_pressure_scale = 26,         // 7 / ECF
    n2_bubble_rate = 27,                 // 1 / 600
    fast_n2_pressure_scale = 28,         // 30000 / (VBV + 1000)
    lactate_clearance_rate = 29,         // from weight and height
    tissue_co2_store_scale = 30,         // 520 / ECF
    tissue_po2_scale = 31,               // 2.7 / ECF
    anaerobic_threshold = 32,            // lactate production above which O2 credit builds
    tissue_pco2_offset = 33,             // 308 x buffer slope - 0.65 x ECF x store scale
    dead_space_adjust_scale = 34,        // 0.004 / (entry btps_percent_to_stpd / 60)
    stpd_percent_to_btps = 35,           // 0.01 / entry btps_percent_to_stpd
    tissue_bicarbonate_pco2_scale = 36,  // 7.7 x tissue bicarbonate scale
    inspiratory_weight_scale = 37,       // 60 x IE
    alveolar_lag_scale = 38,             // 0.05 x FRC
    brain_flow_scale = 39,               // 0.0021166666
    max_lactate_production = 40,         // (M - 25) x clearance rate x 1.3
    brain_metabolism = 41,               // (T - 24.5) / 60 x 1.82
    hypoxic_lactate_rate = 42,           // also the drift rate of brain bicarbonate
    tissue_pco2_scale = 43,              // 1 / (7.7 x buffer slope + 1)
    co2_drive_gain = 44,                 // RCO2 x B x 0.0132
    hypoxic_drive_gain = 45,             // RO2 x B x 0.008
    central_drive_target = 46,           // from O2 consumption and DRV
    drive_to_ventilation = 47,           // breathing capacity and temperature
    apnoea_threshold = 48,               // demand at or below which breathing stops
    respiratory_rate_offset = 49,        // sqrt(1.25 x LE) + 9
    respiratory_rate_scale = 50,         // (BC + 150) x 0.0275 x (T - 17)
    artificial_ventilation = 51,         // set rate x tidal volume, litres per minute
    dead_space_base = 52,                // 0.03 x FRC - 20 + XDS
    anaerobic_credit_lag = 53,           // 0.02
    dead_space_per_tidal_volume = 54,    // other[dead_space_parameter] x 0.001
    short_lag = 55,                      // 0.167
    ml_per_second_to_l_per_minute = 56,  // 0.06
    always_one = 57,                     // 1, read by nothing
    anoxia_recovery_rate = 58,           // 0.021166667
    anoxia_rate = 59,                    // 0.005
    n2_exchange_rate = 60,               // 0.00013333333
    cardiac_output_lag = 61,             // damping weight, at most 120
    ventilation_lag_scale = 62,          // (DRV + 300) x 0.00025
    brain_oxygenation_lag = 63,          // 500 / O2 consumption, at most 120
    tissue_co2_buffer = 64,              // 0.01488 x Hb x (VBV x 0.001 + ECF)
    central_ph_threshold = 65,           // 7.324 - DRV x 0.00005
    central_ph_threshold_low = 66,       // threshold - 0.002
    central_drive_above_30 = 67,         // DRV - 30
    central_drive_lag = 68,              // (M + 200) x 0.04
    fitness_bypass = 69,                 // (FIT - 20) x 0.00035
    lactate_production_scale = 70,       // clearance rate x 1.3
    dpg_target = 71,                     // sex x 1.6 + 21.7
    dpg_drift_rate = 72,                 // 1 / 30000
    hypoxic_po2_threshold = 73,          // tissue PO2 below which lactate production rises
    max_heart_rate = 74,                 // 210 - 0.65 x age
    stroke_volume_scale = 75,            // from sex, fitness, weight and pump
    count = 76,
};
}  // namespace derived_id

// Bag states (the value behind bag_index).
namespace bag_state_id {
enum : int {
    glottis_closed = 9,       // breath held: nothing is expired
    standard = 10,            // room air, no bag
    collect_expired = 11,     // expired gas goes into the bag
    rebreathe = 12,           // breathing from and into the bag
    rebreathe_absorber = 13,  // rebreathing with a CO2 absorber
};
}  // namespace bag_state_id

// What model() returns: 0 for a completed step, else the first failure.
namespace failure_code {
enum failure_item : int {
    none = 0,
    arterial_bicarbonate_gone = 1,       // arterial bicarbonate <= 0 (stage 5)
    tissue_o2_gone = 2,                  // tissue O2 amount <= 0 (stage 6)
    tissue_bicarbonate_gone = 3,         // tissue bicarbonate content <= 0 (stage 8)
    venous_bicarbonate_gone = 4,         // venous bicarbonate content <= 0 (stage 9)
    bag_too_small = 5,                   // the bag cannot hold the breath (stage 10)
    alveolar_po2_gone = 6,               // no alveolar gas, or alveolar PO2 <= 0 (stage 10)
    alveolar_pco2_gone = 7,              // alveolar PCO2 <= 0 (stage 10)
    capillary_bicarbonate_negative = 8,  // capillary bicarbonate < 0 (stage 11)
    not_finite = 9,                      // the step left a value that is not a finite number
};
}  // namespace failure_code

// Short names by index: factor_short_names[factor_id::inspired_o2] is
// "inspired_o2".
inline constexpr std::array<std::string_view, factor_id::count> factor_short_names = {
    "dpg",
    "bicarbonate_addition",
    "bag_co2",
    "bag_o2",
    "bag_volume",
    "body_temperature",
    "brain_bicarbonate_deviation",
    "breathing_capacity",
    "cardiac_performance",
    "central_drive",
    "right_to_left_shunt",
    "extra_dead_space",
    "haemoglobin",
    "fitness_index",
    "inspiratory_time_ratio",
    "inspired_co2",
    "inspired_o2",
    "left_to_right_shunt",
    "lung_elastance",
    "lung_volume",
    "max_cardiac_output",
    "packed_cell_volume",
    "peep",
    "tissue_ecf_volume",
    "tissue_rq",
    "barometric_pressure",
    "venous_admixture",
    "venous_blood_volume",
    "co2_response",
    "hypoxic_response",
    "vital_capacity",
    "work_rate",
};

inline constexpr std::array<std::string_view, display_id::count> display_short_names = {
    "alveolar_co2_amount",
    "alveolar_pco2",
    "alveolar_n2_amount",
    "alveolar_o2_amount",
    "alveolar_po2",
    "alveolar_ventilation",
    "decompression_risk",
    "arterial_bicarbonate",
    "arterial_co2_amount",
    "arterial_co2_content",
    "arterial_pco2",
    "arterial_lactate",
    "arterial_pn2",
    "arterial_o2_amount",
    "arterial_o2_content",
    "arterial_po2",
    "arterial_saturation",
    "arterial_ph",
    "arterial_pool_co2_content",
    "arterial_pool_n2_content",
    "arterial_pool_o2_content",
    "bag_co2_amount",
    "bag_o2_amount",
    "brain_blood_flow",
    "brain_co2_amount",
    "brain_co2_content",
    "brain_pco2",
    "brain_o2_amount",
    "brain_o2_content",
    "brain_po2",
    "brain_bicarbonate",
    "brain_ph",
    "cardiac_output",
    "dead_space",
    "excess_n2",
    "heart_rate",
    "metabolic_rate",
    "capillary_co2_content",
    "capillary_o2_content",
    "respiratory_quotient",
    "respiratory_rate",
    "tidal_volume",
    "tissue_bicarbonate",
    "tissue_co2_content",
    "tissue_pco2",
    "tissue_co2_stores",
    "tissue_lactate",
    "tissue_n2_fast",
    "tissue_n2_slow",
    "tissue_pn2_fast",
    "tissue_pn2_slow",
    "tissue_o2_amount",
    "tissue_o2_content",
    "tissue_po2",
    "tissue_ph",
    "total_ventilation",
    "total_venous_admixture",
    "venous_bicarbonate_amount",
    "venous_bicarbonate",
    "venous_co2_amount",
    "venous_co2_content",
    "venous_o2_amount",
    "venous_o2_content",
    "venous_ph",
    "no_display",
};

// The index of a short name in one of the tables above, or -1.
template <std::size_t N>
constexpr int slot_index(const std::array<std::string_view, N>& names, std::string_view name)
{
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

constexpr int factor_index_by_name(std::string_view name) { return slot_index(factor_short_names, name); }
constexpr int display_index_by_name(std::string_view name) { return slot_index(display_short_names, name); }

// The tables follow the enumerations (spot checks at both ends and between).
static_assert(factor_index_by_name("dpg") == factor_id::dpg);
static_assert(factor_index_by_name("inspired_o2") == factor_id::inspired_o2);
static_assert(factor_index_by_name("work_rate") == factor_id::work_rate);
static_assert(display_index_by_name("alveolar_co2_amount") == display_id::alveolar_co2_amount);
static_assert(display_index_by_name("arterial_po2") == display_id::arterial_po2);
static_assert(display_index_by_name("no_display") == display_id::no_display);

#endif
