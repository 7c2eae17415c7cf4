// SPDX-License-Identifier: Apache-2.0
// The catalogue and state hold exactly their content at load.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model_internal.h"

namespace {

struct record_row {
    int index;
    const char* name;
    const char* unit;
    float minimum;
    float maximum;
    float standard;
};

void expect_record(const catalogue_record& r, const record_row& row)
{
    EXPECT_STREQ(r.name, row.name) << row.index;
    EXPECT_STREQ(r.unit, row.unit) << row.index;
    EXPECT_EQ(r.minimum, row.minimum) << row.index;
    EXPECT_EQ(r.maximum, row.maximum) << row.index;
    EXPECT_EQ(r.value, 0.0f) << row.index;
}

TEST(Catalogue, SizesAndCounts)
{
    EXPECT_EQ(num_fct, 32);
    EXPECT_EQ(num_dsy, 65);
    EXPECT_EQ(num_oth, 20);
    EXPECT_EQ(sizeof(factor) / sizeof(factor[factor_id::dpg]), 32u);
    EXPECT_EQ(sizeof(display) / sizeof(display[display_id::alveolar_co2_amount]), 65u);
    EXPECT_EQ(sizeof(s_display) / sizeof(s_display[display_id::alveolar_co2_amount]), 64u);
    EXPECT_GE(sizeof(app_buf), 220u);  // sympt() may append 219 characters
}

TEST(Catalogue, FactorSpotValues)
{
    const record_row rows[] = {
        {0, "2,3-DPG concentration in red cells", "mmol/litre", 1, 15, 3.8f},
        {1, "Addition of bicarbonate or acid, standard bicarb.", "mmol", -300, 300, 0},
        {4, "Bag volume", "ml BTPS", 300, 30000, 10000},
        {5, "Body temperature", "degree centigrade", 25, 44, 37},
        {13, "Index of state of physical fitness", "", 27, 43, 31},
        {16, "Inspired O2 percentage", "%", 0, 100, 20.93f},
        {24, "Tissue respiratory quotient", "CO2 output/O2 uptake", 0, 15, 0.8f},
        {25, "Total barometric pressure,", "mm Hg", 50, 3800, 760},
        {30, "Vital capacity", "litres BTPS", 0, 10, 5},
        {31, "Work Rate", "Watt", 0, 200, 0},
    };
    for (const record_row& row : rows) {
        expect_record(factor[row.index], row);
        EXPECT_EQ(s_factor[row.index], row.standard) << row.index;
    }
}

TEST(Catalogue, DisplaySpotValues)
{
    const record_row rows[] = {
        {0, "Alveolar CO2 amount", "ml STPD", 0, 200, 144.3f},
        {5, "Alveolar ventilation", "litres/mm BTPS", 0, 20, 4.26f},
        {6, "Arbitrary index of risk of decompression symptoms", "", 0, 200, 0},
        {15, "Arterial O2 partial pressure", "mm Hg", 0, 150, 93.18f},
        {17, "Arterial pH", "", 7, 8, 7.4f},
        {32, "Cardiac output (actual effective)", "litre/mm", 0, 20, 4.95f},
        {35, "Heart rate", "BPM", 20, 220, 63},
        {45, "Tissue CO2 stores", "litre STPD", 5, 50, 13.39f},
        {54, "Tissue pH ", "", 7, 8, 7.37f},
        {62, "Venous O2 content of blood in pulmonary artery", "ml/100 ml", 0, 100, 14.5f},
        {63, "Venous pH (of mixed venous blood)", "", 7, 8, 7.37f},
    };
    for (const record_row& row : rows) {
        expect_record(display[row.index], row);
        EXPECT_EQ(s_display[row.index].standard, row.standard) << row.index;
    }
    expect_record(display[display_id::no_display], {64, "No display", "", 0, 0, 0});
}

TEST(Catalogue, EveryRecordHasTextsAndOrderedLimits)
{
    for (const catalogue_record& r : factor) {
        ASSERT_NE(r.name, nullptr);
        ASSERT_NE(r.unit, nullptr);
        EXPECT_LT(r.minimum, r.maximum) << r.name;
    }
    for (const catalogue_record& r : display) {
        ASSERT_NE(r.name, nullptr);
        ASSERT_NE(r.unit, nullptr);
        EXPECT_LE(r.minimum, r.maximum) << r.name;
    }
}

TEST(Catalogue, TypographicQuotesAreCodePage1252Bytes)
{
    const char* fast_amount =
        "Tissue N2 amount in \x91"
        "fast\x92"
        " compartment";
    EXPECT_STREQ(display[display_id::tissue_n2_fast].name, fast_amount);
    EXPECT_EQ(std::strlen(display[display_id::tissue_n2_fast].name),
              std::strlen("Tissue N2 amount in 'fast' compartment"));
    for (int i : {47, 48, 49, 50}) {
        const std::string name = display[i].name;
        // clang-format off
        const bool quoted = name.find("\x91" "fast\x92" " ") != std::string::npos ||
                            name.find("\x91" "slow\x92" " ") != std::string::npos;
        // clang-format on
        EXPECT_TRUE(quoted) << i;
        EXPECT_EQ(name.find('\xe2'), std::string::npos) << i;  // no UTF-8 lead byte
    }
    EXPECT_STREQ(alt_dspy[7].name, display[display_id::tissue_pn2_fast].name);
    EXPECT_STREQ(alt_dspy[8].name, display[display_id::tissue_pn2_slow].name);
}

TEST(Catalogue, Passport)
{
    expect_record(height, {0, "height", "cm", 95, 200, 0});
    expect_record(weight, {0, "weight", "kg", 20, 200, 0});
    expect_record(age, {0, "age", "year", 8, 100, 0});
    EXPECT_EQ(sex, 1);
}

TEST(Catalogue, StandardSubject)
{
    EXPECT_EQ(s_height, 178.0f);
    EXPECT_EQ(s_weight, 70.0f);
    EXPECT_EQ(s_age, 40.0f);
    EXPECT_EQ(s_sex, 1);

    const float expected_other[20] = {71.08f, 1,     4.6f,   240,  7.4f,   4, 0, 33.6f, 33.29f, 3000,
                                      0,      6.06f, 45.72f, 0.1f, 317.4f, 0, 0, 8.88f, 0.08f,  100};
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(s_other[i], expected_other[i]) << i;
        EXPECT_EQ(other[i], 0.0f) << i;
    }

    // Display variables that the front end does not keep at death.
    for (int i = 0; i < 64; ++i) {
        const bool dropped = i == 5 || i == 35 || i == 36 || i == 39 || i == 40 || i == 41 || i == 55;
        EXPECT_EQ(s_display[i].kept_at_death, dropped ? 0 : 1) << i;
        EXPECT_EQ(s_display[i].at_death, 0.0f) << i;
    }
    EXPECT_EQ(s_display[display_id::tissue_pn2_slow].standard, 565.0f);
    EXPECT_EQ(s_display[display_id::venous_bicarbonate_amount].standard, 71.41f);
    EXPECT_EQ(s_display[display_id::venous_co2_amount].standard, 1540.0f);
    EXPECT_EQ(s_factor[factor_id::haemoglobin], 14.8f);
    EXPECT_EQ(s_factor[factor_id::lung_volume], 3000.0f);
    EXPECT_EQ(s_factor[factor_id::tissue_ecf_volume], 12.0f);
    EXPECT_EQ(s_factor[factor_id::venous_blood_volume], 3000.0f);
}

TEST(Catalogue, AlternativeRecordsByPosition)
{
    EXPECT_EQ(a_f_lst[0], 25);
    EXPECT_EQ(a_f_lst[1], -1);
    expect_record(alt_fact[0], {25, "Total barometric pressure", "kPa", 6, 510, 0});

    const int expected_list[] = {1, 4, 10, 12, 15, 26, 29, 49, 50, 44, 53, -1};
    const record_row rows[] = {
        {1, "Alveolar CO2 partial pressure", "kPa", 0, 10, 0},
        {4, "Alveolar O2 partial pressure", "kPa", 0, 20, 0},
        {10, "Arterial CO2 partial pressure", "kPa", 0, 10, 0},
        {12, "Arterial N2 partial pressure", "kPa", 0, 20, 0},
        {15, "Arterial O2 partial pressure", "kPa", 0, 20, 0},
        {26, "Brain CO2 partial pressure of blood leaving", "kPa", 0, 15, 0},
        {29, "Brain O2 partial pressure of blood leaving", "kPa", 0, 20, 0},
        // clang-format off
        {49, "Tissue N2 partial in \x91" "fast\x92" " compartment", "kPa", 0, 500, 0},
        {50, "Tissue N2 partial in \x91" "slow\x92" " compartment", "kPa", 0, 150, 0},
        // clang-format on
        {44, "Venous CO2 partial pressure", "kPa", 0, 10, 0},
        {53, "Venous partial O2 (approx. values - time shifted)", "kPa", 0, 20, 0},
    };
    int position = 0;
    while (a_d_lst[position] != -1) {
        ASSERT_LT(position, 11);
        EXPECT_EQ(a_d_lst[position], expected_list[position]);
        EXPECT_EQ(rows[position].index, a_d_lst[position]);
        expect_record(alt_dspy[position], rows[position]);
        // Every alternative belongs to a pressure variable in mm Hg.
        EXPECT_STREQ(display[a_d_lst[position]].unit, "mm Hg");
        ++position;
    }
    EXPECT_EQ(position, 11);
}

TEST(Catalogue, BuffersTextsAndReferencesAtLoad)
{
    EXPECT_EQ(app_buf[0], '\0');
    EXPECT_STREQ(comment, "standard version Feb 13 2010");
    EXPECT_STREQ(mdl_ver, "1.00");
    for (int r = 0; r < TOLVANE_HISTORY_ROWS; ++r) {
        for (int c = 0; c < TOLVANE_HISTORY_COLUMNS; c += 97) {
            ASSERT_EQ(history[r][c], 0.0f);
        }
    }
    EXPECT_EQ(ventilation_flag, 1);
    EXPECT_EQ(bag_state, bag_state_id::standard);
    // Bound only by estab_pnt().
    for (const void* reference : {static_cast<const void*>(ventilation), static_cast<const void*>(bag_index),
                                  static_cast<const void*>(res_rate), static_cast<const void*>(tidal),
                                  static_cast<const void*>(positive), static_cast<const void*>(bag_vol),
                                  static_cast<const void*>(bag_co2), static_cast<const void*>(bag_o2)}) {
        EXPECT_EQ(reference, nullptr);
    }
}

}  // namespace
