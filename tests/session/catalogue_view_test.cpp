// SPDX-License-Identifier: Apache-2.0
// What clients read of the model through the session: the catalogue in the
// units in force, the standard subject, the passport, the recorded seconds,
// the run CSV's header and the blood's O2; each session sees its own subject.
#include "blood_o2.h"
#include "catalogue_view.h"
#include "csv_text.h"
#include "pressure_mode.h"
#include "run_session.h"
#include "slot_ids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

float factor_value(run_session& s, int i)
{
    return s.with_model([&] { return factor_records()[static_cast<std::size_t>(i)].value; });
}

TEST(CatalogueView, CountsAndPlaceholderFollowTheCatalogue)
{
    run_session s;
    s.with_model([] {
        EXPECT_EQ(factor_records().size(), std::size_t{factor_id::count});
        EXPECT_EQ(display_records().size(), std::size_t{display_id::count});
        EXPECT_EQ(other_values().size(), std::size_t{other_id::count});
        EXPECT_STREQ(display_records()[display_id::no_display].name, "No display");
        // Indices outside the catalogue, and the placeholder, have no standard value.
        EXPECT_EQ(standard_display_value(display_id::no_display), 0.0f);
        EXPECT_EQ(standard_display_value(-1), 0.0f);
        EXPECT_EQ(standard_factor_value(factor_id::count), 0.0f);
        EXPECT_EQ(standard_factor_value(factor_id::barometric_pressure), 760.0f);
        EXPECT_EQ(display_records()[display_id::arterial_po2].value,
                  standard_display_value(display_id::arterial_po2));
    });
}

// Two sessions in turn: each read gives the subject of the session whose
// model is live, never the other's or a stale copy.
TEST(CatalogueView, EachSessionReadsItsOwnSubject)
{
    run_session low, rest;
    low.set_factor(factor_id::inspired_o2, 12.0f);
    rest.set_passport(160.0f, 55.0f, 30.0f, 0);
    EXPECT_EQ(factor_value(low, factor_id::inspired_o2), 12.0f);
    EXPECT_EQ(factor_value(rest, factor_id::inspired_o2), 20.93f);
    EXPECT_EQ(factor_value(low, factor_id::inspired_o2), 12.0f);

    const passport_records standard = low.with_model([] { return live_passport(); });
    const passport_records changed = rest.with_model([] { return live_passport(); });
    EXPECT_EQ(standard.height.value, 178.0f);
    EXPECT_EQ(standard.sex, 1);
    EXPECT_EQ(changed.height.value, 160.0f);
    EXPECT_EQ(changed.weight.value, 55.0f);
    EXPECT_EQ(changed.age.value, 30.0f);
    EXPECT_EQ(changed.sex, 0);
    EXPECT_STREQ(changed.height.unit, standard.height.unit);

    low.run_to_minute();
    const float low_other = low.with_model([] { return other_values()[other_id::o2_uptake_per_step]; });
    rest.run_to_minute();
    const float rest_other = rest.with_model([] { return other_values()[other_id::o2_uptake_per_step]; });
    EXPECT_NE(low_other, rest_other);
    EXPECT_EQ(low.with_model([] { return other_values()[other_id::o2_uptake_per_step]; }), low_other);
}

// The records carry the units shown; the standard values stay in model units;
// the run CSV names mm Hg whatever is shown.
TEST(CatalogueView, UnitsInForceAndModelUnits)
{
    run_session s;
    const std::string header_mmhg = run_csv_header_text();
    EXPECT_NE(header_mmhg.find("Arterial O2 partial pressure (mm Hg)"), std::string::npos);
    s.set_pressure_units(true);
    s.with_model([] {
        const catalogue_record& pb = factor_records()[factor_id::barometric_pressure];
        EXPECT_STREQ(pb.unit, "kPa");
        EXPECT_EQ(pb.maximum, 510.0f);
        EXPECT_FLOAT_EQ(pb.value, 760.0f * static_cast<float>(kpa_per_mmhg));
        EXPECT_STREQ(display_records()[display_id::arterial_po2].unit, "kPa");
        EXPECT_EQ(standard_factor_value(factor_id::barometric_pressure), 760.0f);
    });
    EXPECT_EQ(run_csv_header_text(), header_mmhg);
    EXPECT_EQ(s.csv_text().substr(0, header_mmhg.size()), header_mmhg);
}

// A loaded subject becomes the standard one that the view reports.
TEST(CatalogueView, StandardValuesFollowALoadedSubject)
{
    run_session s;
    subject_data data = s.with_model([] { return standard_subject_data(); });
    data.factors[factor_id::haemoglobin] = 10.0f;
    data.displays[display_id::arterial_po2] = 80.0f;
    s.load_subject(data, "anaemic");
    s.with_model([] {
        EXPECT_EQ(standard_factor_value(factor_id::haemoglobin), 10.0f);
        EXPECT_EQ(factor_records()[factor_id::haemoglobin].value, 10.0f);
        EXPECT_EQ(standard_display_value(display_id::arterial_po2), 80.0f);
    });
}

TEST(CatalogueView, RecordedSamplesOfTheSessionsTable)
{
    run_session s;
    s.run_to_minute();
    const run_state& state = s.state();
    for (int t : {0, 30, 60}) {
        const float sample = recorded_sample(state, display_id::arterial_po2, history_slot(t));
        EXPECT_EQ(sample, s.recorded(display_id::arterial_po2, t)) << t;
        EXPECT_GT(sample, 50.0f) << t;
    }
    EXPECT_EQ(recorded_sample(state, history_table_rows, 0), 0.0f);
    EXPECT_EQ(recorded_sample(state, 0, history_table_columns), 0.0f);
    EXPECT_EQ(recorded_sample(state, -1, 0), 0.0f);
    run_state in_kpa = state;
    in_kpa.si_pressure = true;
    const int column = history_slot(60);
    EXPECT_EQ(history_value(in_kpa, display_id::arterial_po2, column),
              mmhg_to_kpa(recorded_sample(state, display_id::arterial_po2, column)));
    EXPECT_EQ(history_value(in_kpa, display_id::arterial_ph, column),
              double(recorded_sample(state, display_id::arterial_ph, column)));
}

TEST(BloodO2, ModelChemistryAndRefusals)
{
    const std::optional<blood_o2> normal = blood_o2_at(100, 40, 7.4f, 37, 3.8f, 14.8f);
    ASSERT_TRUE(normal);
    EXPECT_GT(normal->saturation, 0.95f);
    EXPECT_LT(normal->saturation, 1.0f);
    EXPECT_GT(normal->content, 19.0f);
    EXPECT_LT(normal->content, 21.0f);
    const std::optional<blood_o2> venous = blood_o2_at(40, 46, 7.37f, 37, 3.8f, 14.8f);
    ASSERT_TRUE(venous);
    EXPECT_LT(venous->saturation, normal->saturation);
    EXPECT_FALSE(blood_o2_at(100, 0, 7.4f, 37, 3.8f, 14.8f));
    EXPECT_FALSE(blood_o2_at(std::numeric_limits<float>::quiet_NaN(), 40, 7.4f, 37, 3.8f, 14.8f));
    EXPECT_FALSE(blood_o2_at(-1, 40, 7.4f, 37, 3.8f, 14.8f));
}

}  // namespace
