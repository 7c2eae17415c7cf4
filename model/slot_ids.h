// Named slots of the catalogue: the index of every subject factor and display
// variable under a short name, and the table of those names for lookup.
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
