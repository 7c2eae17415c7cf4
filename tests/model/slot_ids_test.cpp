// SPDX-License-Identifier: Apache-2.0
// Every named slot is the catalogue entry its name says: each row ties the
// enumerator, its short name and the catalogue text the index must carry.
#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>

#include "model_internal.h"
#include "slot_ids.h"

namespace {

struct slot_row {
    int index;
    const char* short_name;
    const char* catalogue_name;
};

// SLOT(factor_id, inspired_o2, "Inspired O2 percentage") spells the name once
// as the enumerator and once as the text, so the two cannot part.
#define SLOT(ns, id, text) \
    {                      \
        ns::id, #id, text  \
    }

const slot_row factor_rows[] = {
    SLOT(factor_id, dpg, "2,3-DPG concentration in red cells"),
    SLOT(factor_id, bicarbonate_addition, "Addition of bicarbonate or acid, standard bicarb."),
    SLOT(factor_id, bag_co2, "Bag CO2 percentage"),
    SLOT(factor_id, bag_o2, "Bag O2 percentage"),
    SLOT(factor_id, bag_volume, "Bag volume"),
    SLOT(factor_id, body_temperature, "Body temperature"),
    SLOT(factor_id, brain_bicarbonate_deviation, "Brain bicarbonate, deviation from normal (+/-)"),
    SLOT(factor_id, breathing_capacity, "Breathing capacity"),
    SLOT(factor_id, cardiac_performance, "Cardiac pump performance"),
    SLOT(factor_id, central_drive, "Central neurogenic (learnt) respiratory drive"),
    SLOT(factor_id, right_to_left_shunt, "Extra anatomical right-to-left shunt"),
    SLOT(factor_id, extra_dead_space, "Extra dead space (above normal value)"),
    SLOT(factor_id, haemoglobin, "Haemoglobin blood density"),
    SLOT(factor_id, fitness_index, "Index of state of physical fitness"),
    SLOT(factor_id, inspiratory_time_ratio, "Inspiratory/total breath duration ratio"),
    SLOT(factor_id, inspired_co2, "Inspired CO2 percentage"),
    SLOT(factor_id, inspired_o2, "Inspired O2 percentage"),
    SLOT(factor_id, left_to_right_shunt, "Left-to-right shunt, ratio to cardiac output"),
    SLOT(factor_id, lung_elastance, "Lung elastance"),
    SLOT(factor_id, lung_volume, "Lung volume, (end-expiration)"),
    SLOT(factor_id, max_cardiac_output, "Maximum cardiac output"),
    SLOT(factor_id, packed_cell_volume, "Packed cell volume"),
    SLOT(factor_id, peep, "Positive end-expiratory pressure"),
    SLOT(factor_id, tissue_ecf_volume, "Tissue ECF distribution volume"),
    SLOT(factor_id, tissue_rq, "Tissue respiratory quotient"),
    SLOT(factor_id, barometric_pressure, "Total barometric pressure,"),
    SLOT(factor_id, venous_admixture, "Venous admixture effect"),
    SLOT(factor_id, venous_blood_volume, "Venous blood volume"),
    SLOT(factor_id, co2_response, "Ventilatory response to CO2 or H+"),
    SLOT(factor_id, hypoxic_response, "Ventilatory response to failing partial O2"),
    SLOT(factor_id, vital_capacity, "Vital capacity"),
    SLOT(factor_id, work_rate, "Work Rate"),
};

const slot_row display_rows[] = {
    SLOT(display_id, alveolar_co2_amount, "Alveolar CO2 amount"),
    SLOT(display_id, alveolar_pco2, "Alveolar CO2 partial pressure"),
    SLOT(display_id, alveolar_n2_amount, "Alveolar N2 amount"),
    SLOT(display_id, alveolar_o2_amount, "Alveolar O2 amount"),
    SLOT(display_id, alveolar_po2, "Alveolar O2 partial pressure"),
    SLOT(display_id, alveolar_ventilation, "Alveolar ventilation"),
    SLOT(display_id, decompression_risk, "Arbitrary index of risk of decompression symptoms"),
    SLOT(display_id, arterial_bicarbonate, "Arterial bicarbonate content"),
    SLOT(display_id, arterial_co2_amount, "Arterial CO2 amount"),
    SLOT(display_id, arterial_co2_content, "Arterial CO2 content"),
    SLOT(display_id, arterial_pco2, "Arterial CO2 partial pressure"),
    SLOT(display_id, arterial_lactate, "Arterial lactate concentration"),
    SLOT(display_id, arterial_pn2, "Arterial N2 partial pressure"),
    SLOT(display_id, arterial_o2_amount, "Arterial O2 amount"),
    SLOT(display_id, arterial_o2_content, "Arterial O2 content"),
    SLOT(display_id, arterial_po2, "Arterial O2 partial pressure"),
    SLOT(display_id, arterial_saturation, "Arterial O2 saturation (maximum)"),
    SLOT(display_id, arterial_ph, "Arterial pH"),
    SLOT(display_id, arterial_pool_co2_content, "Arterial pool CO2 content of blood leaving"),
    SLOT(display_id, arterial_pool_n2_content, "Arterial pool N2 content of blood leaving"),
    SLOT(display_id, arterial_pool_o2_content, "Arterial pool O2 content of blood leaving"),
    SLOT(display_id, bag_co2_amount, "Bag CO2 amount"),
    SLOT(display_id, bag_o2_amount, "Bag O2 amount"),
    SLOT(display_id, brain_blood_flow, "Brain blood flow"),
    SLOT(display_id, brain_co2_amount, "Brain CO2 amount"),
    SLOT(display_id, brain_co2_content, "Brain CO2 content of blood leaving"),
    SLOT(display_id, brain_pco2, "Brain CO2 partial pressure of blood leaving"),
    SLOT(display_id, brain_o2_amount, "Brain O2 amount"),
    SLOT(display_id, brain_o2_content, "Brain O2 content of blood leaving"),
    SLOT(display_id, brain_po2, "Brain O2 partial pressure of blood leaving"),
    SLOT(display_id, brain_bicarbonate, "Brain bicarbonate content"),
    SLOT(display_id, brain_ph, "Brain pH (at putative central chemoreceptor site)"),
    SLOT(display_id, cardiac_output, "Cardiac output (actual effective)"),
    SLOT(display_id, dead_space, "Dead space (total effective physiological)"),
    SLOT(display_id, excess_n2, "Excess N2 held above normal maximum saturation"),
    SLOT(display_id, heart_rate, "Heart rate"),
    SLOT(display_id, metabolic_rate, "Metabolic rate"),
    SLOT(display_id, capillary_co2_content, "Pulmonary capillary (idealized) blood CO2 content"),
    SLOT(display_id, capillary_o2_content, "Pulmonary capillary (idealized) blood O2 content"),
    SLOT(display_id, respiratory_quotient, "Respiratory quotient"),
    SLOT(display_id, respiratory_rate, "Respiratory rate"),
    SLOT(display_id, tidal_volume, "Tidal volume"),
    SLOT(display_id, tissue_bicarbonate, "Tissue bicarbonate content of blood leaving"),
    SLOT(display_id, tissue_co2_content, "Tissue CO2 content of blood leaving"),
    SLOT(display_id, tissue_pco2, "Tissue CO2 partial pressure"),
    SLOT(display_id, tissue_co2_stores, "Tissue CO2 stores"),
    SLOT(display_id, tissue_lactate, "Tissue lactate amount (body total)"),
    // clang-format off
    SLOT(display_id, tissue_n2_fast, "Tissue N2 amount in \x91" "fast\x92" " compartment"),
    SLOT(display_id, tissue_n2_slow, "Tissue N2 amount in \x91" "slow\x92" " compartment"),
    SLOT(display_id, tissue_pn2_fast, "Tissue N2 partial in \x91" "fast\x92" " compartment"),
    SLOT(display_id, tissue_pn2_slow, "Tissue N2 partial in \x91" "slow\x92" " compartment"),
    // clang-format on
    SLOT(display_id, tissue_o2_amount, "Tissue O2 amount"),
    SLOT(display_id, tissue_o2_content, "Tissue O2 content of blood leaving"),
    SLOT(display_id, tissue_po2, "Tissue O2 partial pressure (time shifted values)"),
    SLOT(display_id, tissue_ph, "Tissue pH "),
    SLOT(display_id, total_ventilation, "Total ventilation"),
    SLOT(display_id, total_venous_admixture, "Venous admixture (total effective)"),
    SLOT(display_id, venous_bicarbonate_amount, "Venous bicarbonate amount"),
    SLOT(display_id, venous_bicarbonate, "Venous bicarbonate content (mixed venous)"),
    SLOT(display_id, venous_co2_amount, "Venous CO2 amount"),
    SLOT(display_id, venous_co2_content, "Venous CO2 content (blood in pulmonary artery)"),
    SLOT(display_id, venous_o2_amount, "Venous O2 amount"),
    SLOT(display_id, venous_o2_content, "Venous O2 content of blood in pulmonary artery"),
    SLOT(display_id, venous_ph, "Venous pH (of mixed venous blood)"),
    SLOT(display_id, no_display, "No display"),
};

#undef SLOT

// Other variables and derived entries have no catalogue text: every name is
// listed once, in index order, so a gap, a doubled index or a doubled name
// shows.
#define ID(ns, id)           \
    {                        \
        ns::id, #id, nullptr \
    }

const slot_row other_rows[] = {
    ID(other_id, alveolar_ventilation_per_step),
    ID(other_id, brain_oxygenation),
    ID(other_id, cardiac_parameter),
    ID(other_id, resting_o2_consumption),
    ID(other_id, o2_curve_reference_ph),
    ID(other_id, max_drive_parameter),
    ID(other_id, anoxia_index),
    ID(other_id, o2_uptake_per_step),
    ID(other_id, co2_output_per_step),
    ID(other_id, saved_lung_volume),
    ID(other_id, admixture_exercise_parameter),
    ID(other_id, ventilation_demand),
    ID(other_id, previous_tissue_pco2),
    ID(other_id, slow_acid_load),
    ID(other_id, tissue_bicarbonate_amount),
    ID(other_id, dead_space_parameter),
    ID(other_id, anaerobic_o2_credit),
    ID(other_id, damped_central_drive),
    ID(other_id, stroke_volume),
    ID(other_id, cardiac_lag_parameter),
};

const slot_row derived_rows[] = {
    ID(derived_id, always_zero),
    ID(derived_id, venous_bicarbonate_scale),
    ID(derived_id, venous_content_scale),
    ID(derived_id, bicarbonate_per_pco2),
    ID(derived_id, breathing_work_exponent),
    ID(derived_id, breathing_work_scale),
    ID(derived_id, max_drive),
    ID(derived_id, o2_consumption),
    ID(derived_id, cardiac_output_base),
    ID(derived_id, cardiac_output_exercise),
    ID(derived_id, slow_acid_rate),
    ID(derived_id, dry_pressure),
    ID(derived_id, btps_percent_to_stpd),
    ID(derived_id, tissue_bicarbonate_scale),
    ID(derived_id, pulmonary_flow_ratio),
    ID(derived_id, lactate_concentration_scale),
    ID(derived_id, pump_fraction),
    ID(derived_id, flow_per_cardiac_output),
    ID(derived_id, admixture_base),
    ID(derived_id, admixture_exercise),
    ID(derived_id, max_tidal_volume),
    ID(derived_id, admixture_peep_scale),
    ID(derived_id, arterial_pool_lag_scale),
    ID(derived_id, decompression_risk_scale),
    ID(derived_id, clearance_cardiac_output),
    ID(derived_id, btps_to_stpd),
    ID(derived_id, slow_n2_pressure_scale),
    ID(derived_id, n2_bubble_rate),
    ID(derived_id, fast_n2_pressure_scale),
    ID(derived_id, lactate_clearance_rate),
    ID(derived_id, tissue_co2_store_scale),
    ID(derived_id, tissue_po2_scale),
    ID(derived_id, anaerobic_threshold),
    ID(derived_id, tissue_pco2_offset),
    ID(derived_id, dead_space_adjust_scale),
    ID(derived_id, stpd_percent_to_btps),
    ID(derived_id, tissue_bicarbonate_pco2_scale),
    ID(derived_id, inspiratory_weight_scale),
    ID(derived_id, alveolar_lag_scale),
    ID(derived_id, brain_flow_scale),
    ID(derived_id, max_lactate_production),
    ID(derived_id, brain_metabolism),
    ID(derived_id, hypoxic_lactate_rate),
    ID(derived_id, tissue_pco2_scale),
    ID(derived_id, co2_drive_gain),
    ID(derived_id, hypoxic_drive_gain),
    ID(derived_id, central_drive_target),
    ID(derived_id, drive_to_ventilation),
    ID(derived_id, apnoea_threshold),
    ID(derived_id, respiratory_rate_offset),
    ID(derived_id, respiratory_rate_scale),
    ID(derived_id, artificial_ventilation),
    ID(derived_id, dead_space_base),
    ID(derived_id, anaerobic_credit_lag),
    ID(derived_id, dead_space_per_tidal_volume),
    ID(derived_id, short_lag),
    ID(derived_id, ml_per_second_to_l_per_minute),
    ID(derived_id, always_one),
    ID(derived_id, anoxia_recovery_rate),
    ID(derived_id, anoxia_rate),
    ID(derived_id, n2_exchange_rate),
    ID(derived_id, cardiac_output_lag),
    ID(derived_id, ventilation_lag_scale),
    ID(derived_id, brain_oxygenation_lag),
    ID(derived_id, tissue_co2_buffer),
    ID(derived_id, central_ph_threshold),
    ID(derived_id, central_ph_threshold_low),
    ID(derived_id, central_drive_above_30),
    ID(derived_id, central_drive_lag),
    ID(derived_id, fitness_bypass),
    ID(derived_id, lactate_production_scale),
    ID(derived_id, dpg_target),
    ID(derived_id, dpg_drift_rate),
    ID(derived_id, hypoxic_po2_threshold),
    ID(derived_id, max_heart_rate),
    ID(derived_id, stroke_volume_scale),
};

#undef ID

TEST(SlotIds, CountsMatchTheCatalogue)
{
    static_assert(int{factor_id::count} == int{TOLVANE_NUM_FACTORS});
    static_assert(int{display_id::count} == int{TOLVANE_NUM_DISPLAYS});
    EXPECT_EQ(std::size(factor_rows), static_cast<std::size_t>(num_fct));
    EXPECT_EQ(std::size(display_rows), static_cast<std::size_t>(num_dsy));
}

TEST(SlotIds, EveryFactorNameIsItsCatalogueEntry)
{
    for (std::size_t i = 0; i < std::size(factor_rows); ++i) {
        const slot_row& row = factor_rows[i];
        EXPECT_EQ(row.index, static_cast<int>(i)) << row.short_name;
        EXPECT_STREQ(factor[row.index].name, row.catalogue_name) << row.short_name;
        EXPECT_EQ(factor_short_names[row.index], row.short_name);
        EXPECT_EQ(factor_index_by_name(row.short_name), row.index);
    }
}

TEST(SlotIds, EveryDisplayNameIsItsCatalogueEntry)
{
    for (std::size_t i = 0; i < std::size(display_rows); ++i) {
        const slot_row& row = display_rows[i];
        EXPECT_EQ(row.index, static_cast<int>(i)) << row.short_name;
        EXPECT_STREQ(display[row.index].name, row.catalogue_name) << row.short_name;
        EXPECT_EQ(display_short_names[row.index], row.short_name);
        EXPECT_EQ(display_index_by_name(row.short_name), row.index);
    }
}

// A user types the names: one spelling each, across both lists, and only
// lower-case letters, digits and "_" (no leading digit, no doubled "_").
TEST(SlotIds, ShortNamesAreUniqueAndTypable)
{
    std::set<std::string_view> seen;
    auto check = [&seen](std::string_view name) {
        EXPECT_TRUE(seen.insert(name).second) << name << " twice";
        ASSERT_FALSE(name.empty());
        EXPECT_TRUE(name.front() >= 'a' && name.front() <= 'z') << name;
        EXPECT_NE(name.back(), '_') << name;
        EXPECT_EQ(name.find("__"), std::string_view::npos) << name;
        for (char c : name) EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') << name;
    };
    for (std::string_view name : factor_short_names) check(name);
    for (std::string_view name : display_short_names) check(name);
    EXPECT_EQ(seen.size(), factor_short_names.size() + display_short_names.size());
}

TEST(SlotIds, OtherAndDerivedNamesCoverEveryIndexOnce)
{
    static_assert(int{other_id::count} == int{TOLVANE_NUM_OTHERS});
    static_assert(int{derived_id::count} == int{std::size(derived)});
    EXPECT_EQ(std::size(other_rows), static_cast<std::size_t>(num_oth));
    EXPECT_EQ(std::size(derived_rows), std::size(derived));
    std::set<std::string_view> seen;
    for (const auto& rows :
         {std::span<const slot_row>(other_rows), std::span<const slot_row>(derived_rows)}) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].index, static_cast<int>(i)) << rows[i].short_name;
            EXPECT_TRUE(seen.insert(rows[i].short_name).second) << rows[i].short_name << " twice";
        }
    }
}

// The bag states and failure codes are the numbers the model and the front
// end exchange; a renumbering would change saved runs and scripts.
TEST(SlotIds, BagStatesAndFailureCodesKeepTheirNumbers)
{
    const int bag_states[] = {bag_state_id::glottis_closed, bag_state_id::standard,
                              bag_state_id::collect_expired, bag_state_id::rebreathe,
                              bag_state_id::rebreathe_absorber};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(bag_states[i], 9 + i);
    const int codes[] = {failure_code::none,
                         failure_code::arterial_bicarbonate_gone,
                         failure_code::tissue_o2_gone,
                         failure_code::tissue_bicarbonate_gone,
                         failure_code::venous_bicarbonate_gone,
                         failure_code::bag_too_small,
                         failure_code::alveolar_po2_gone,
                         failure_code::alveolar_pco2_gone,
                         failure_code::capillary_bicarbonate_negative,
                         failure_code::not_finite};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(codes[i], i);
}

TEST(SlotIds, UnknownNamesAreNotFound)
{
    EXPECT_EQ(factor_index_by_name(""), -1);
    EXPECT_EQ(factor_index_by_name("Inspired_O2"), -1);   // names are exact
    EXPECT_EQ(factor_index_by_name("arterial_po2"), -1);  // a display, not a factor
    EXPECT_EQ(display_index_by_name("inspired_o2"), -1);
}

}  // namespace
