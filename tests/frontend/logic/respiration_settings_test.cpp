// SPDX-License-Identifier: Apache-2.0
// The respiration settings as OK applies them: number reading, clamping,
// the percentage check and what the model then does with the settings.
#include "model_host.h"
#include "respiration_settings.h"

#include "tolvane_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

namespace {

struct number_case {
    const char* text;
    double expected;
};

void PrintTo(const number_case& c, std::ostream* os) { *os << '"' << c.text << "\" -> " << c.expected; }

class ReadLeadingNumber : public ::testing::TestWithParam<number_case> {};

TEST_P(ReadLeadingNumber, ReadsLikeTheCLocale)
{
    const number_case c = GetParam();
    EXPECT_DOUBLE_EQ(read_leading_number(QString::fromLatin1(c.text)), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ReadLeadingNumber,
    ::testing::Values(number_case{"", 0.0}, number_case{"abc", 0.0}, number_case{"12,5", 12.0},
                      number_case{"12.5", 12.5}, number_case{"  7.25xyz", 7.25}, number_case{"-3", -3.0},
                      number_case{"+4.5", 4.5}, number_case{".5", 0.5}, number_case{"-.5", -0.5},
                      number_case{"5.", 5.0}, number_case{".", 0.0}, number_case{"-", 0.0},
                      number_case{"1e2", 100.0}, number_case{"1e-999", 0.0}, number_case{"inf", 0.0},
                      number_case{"nan", 0.0}, number_case{"00,0", 0.0},
                      number_case{"\xA0"
                                  "5",
                                  0.0}));

TEST(ReadLeadingNumberLimits, HugeExponentGivesInfinityThatClampsToTheMaximum)
{
    const double v = read_leading_number(QStringLiteral("1e999"));
    EXPECT_TRUE(std::isinf(v) && v > 0);
    EXPECT_EQ(clamp_to_limits(v, 0, 50), 50.0f);
    EXPECT_EQ(clamp_to_limits(-v, 300, 30000), 300.0f);
}

TEST(ClampToLimits, RoundsToFloatThenClamps)
{
    EXPECT_EQ(clamp_to_limits(40.0, 0, 25), 25.0f);
    EXPECT_EQ(clamp_to_limits(-1.0, 0, 25), 0.0f);
    EXPECT_EQ(clamp_to_limits(0.1, 0, 25), 0.1f);
    EXPECT_EQ(clamp_to_limits(1e40, 0, 25), 25.0f);  // beyond float range
}

TEST(BagButtons, StatesAndStyles)
{
    EXPECT_EQ(bag_button_of_state(9), 0);
    EXPECT_EQ(bag_button_of_state(11), 1);
    EXPECT_EQ(bag_button_of_state(12), 2);
    EXPECT_EQ(bag_button_of_state(13), 3);
    EXPECT_EQ(bag_button_of_state(10), 4);
    EXPECT_FALSE(bag_button_of_state(8).has_value());
    EXPECT_EQ(bag_fields_locked(9), true);
    EXPECT_EQ(bag_fields_locked(10), true);
    EXPECT_EQ(bag_fields_locked(12), false);
    EXPECT_FALSE(bag_fields_locked(14).has_value());
}

// Every case starts from the standard subject in the standard bag state.
class ApplySettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        estab_pnt();
        load_new();
        *ventilation = 1;
        *bag_index = bag_state_id::standard;
        bager(2, nullptr, nullptr);  // previous bag state 10 as well
    }

    static respiration_texts texts(const char* rate, const char* tidal_volume, const char* peep,
                                   const char* volume, const char* co2, const char* o2)
    {
        return {QString::fromLatin1(rate),   QString::fromLatin1(tidal_volume), QString::fromLatin1(peep),
                QString::fromLatin1(volume), QString::fromLatin1(co2),          QString::fromLatin1(o2)};
    }

    // n seconds as the run controller runs them (the bag first when rebreathing).
    static void run_seconds(int n)
    {
        model_host host;
        host.derive_constants();
        for (int i = 0; i < n; ++i) ASSERT_EQ(host.run_second(i + 1).failure.code(), 0) << "second " << i;
    }
};

TEST_F(ApplySettings, EmptyAndNonNumericFieldsReadAsZeroThenClamp)
{
    const auto result = apply_respiration({0, 12}, respiration_numbers_of(texts("", "x", "", "", "abc", "")));
    EXPECT_EQ(result, respiration_ok_result::accepted);
    EXPECT_EQ(res_rate->value, 0.0f);
    EXPECT_EQ(tidal->value, 0.0f);
    EXPECT_EQ(positive->value, 0.0f);
    EXPECT_EQ(bag_vol->value, 300.0f);  // the record's minimum
    EXPECT_EQ(bag_co2->value, 0.0f);
    EXPECT_EQ(bag_o2->value, 0.0f);
    EXPECT_EQ(*ventilation, 0);
    EXPECT_EQ(*bag_index, bag_state_id::rebreathe);
}

TEST_F(ApplySettings, CommaDecimalReadsTheWholePartOnly)
{
    apply_respiration({0, 10},
                      respiration_numbers_of(texts("12,5", "650,9", "5,5", "8000,5", "4,9", "20,9")));
    EXPECT_EQ(res_rate->value, 12.0f);
    EXPECT_EQ(tidal->value, 650.0f);
    EXPECT_EQ(positive->value, 5.0f);
    EXPECT_EQ(bag_vol->value, 8000.0f);
    EXPECT_EQ(bag_co2->value, 4.0f);
    EXPECT_EQ(bag_o2->value, 20.0f);
}

TEST_F(ApplySettings, PercentagesSummingToExactly100AreAccepted)
{
    EXPECT_EQ(apply_respiration({1, 10}, respiration_numbers_of(texts("15", "500", "0", "5000", "25", "75"))),
              respiration_ok_result::accepted);
    EXPECT_EQ(bag_co2->value, 25.0f);
    EXPECT_EQ(bag_o2->value, 75.0f);
}

TEST_F(ApplySettings, PercentagesOver100AreRejectedAfterTheOtherFieldsTookEffect)
{
    bag_co2->value = 1;
    bag_o2->value = 2;
    EXPECT_EQ(apply_respiration({0, 11}, respiration_numbers_of(texts("15", "600", "4", "5000", "25", "76"))),
              respiration_ok_result::percentages_exceed_100);
    EXPECT_EQ(*ventilation, 0);
    EXPECT_EQ(res_rate->value, 15.0f);
    EXPECT_EQ(tidal->value, 600.0f);
    EXPECT_EQ(positive->value, 4.0f);
    EXPECT_EQ(*bag_index, bag_state_id::collect_expired);
    EXPECT_EQ(bag_vol->value, 5000.0f);
    EXPECT_EQ(bag_co2->value, 1.0f);  // untouched
    EXPECT_EQ(bag_o2->value, 2.0f);
}

TEST_F(ApplySettings, Co2IsClampedTo25BeforeTheSumIsTested)
{
    EXPECT_EQ(apply_respiration({1, 10}, respiration_numbers_of(texts("15", "500", "0", "5000", "40", "75"))),
              respiration_ok_result::accepted);
    EXPECT_EQ(bag_co2->value, 25.0f);
}

TEST_F(ApplySettings, OkWithTheShownValuesChangesNothing)
{
    const float rate = res_rate->value, volume = tidal->value, peep = positive->value;
    const float bag_volume = bag_vol->value;
    apply_respiration(current_respiration_pending(), respiration_numbers_of(current_respiration_texts()));
    EXPECT_EQ(*ventilation, 1);
    EXPECT_EQ(*bag_index, bag_state_id::standard);
    // The fields show rate to 2 and the rest to 1 decimal.
    EXPECT_NEAR(res_rate->value, rate, 0.005f);
    EXPECT_NEAR(tidal->value, volume, 0.05f);
    EXPECT_NEAR(positive->value, peep, 0.05f);
    EXPECT_NEAR(bag_vol->value, bag_volume, 0.05f);
}

TEST_F(ApplySettings, OnlyTheLowByteOfTheVentilationFlagIsShown)
{
    *ventilation = 0x100;  // low byte 0: artificial
    EXPECT_EQ(current_respiration_pending().ventilation, 0);
    *ventilation = 0x101;
    EXPECT_EQ(current_respiration_pending().ventilation, 1);
}

TEST_F(ApplySettings, ClosingTheGlottisThenTheStandardStateRestoresLungVolumeAndRoomAir)
{
    const float lung_volume = factor[factor_id::lung_volume].value;
    const respiration_texts shown = current_respiration_texts();
    apply_respiration({1, 9}, respiration_numbers_of(shown));
    EXPECT_EQ(other[other_id::saved_lung_volume], lung_volume);
    run_seconds(20);
    factor[factor_id::inspired_o2].value = 15;  // anything but room air
    factor[factor_id::inspired_co2].value = 2;
    apply_respiration({1, 10}, respiration_numbers_of(current_respiration_texts()));
    EXPECT_EQ(factor[factor_id::lung_volume].value, lung_volume);
    EXPECT_EQ(factor[factor_id::inspired_o2].value, 20.93f);
    EXPECT_EQ(factor[factor_id::inspired_co2].value, 0.03f);
}

TEST_F(ApplySettings, ArtificialVentilationSetsTheNextRunsRateAndVolume)
{
    apply_respiration({0, 10}, respiration_numbers_of(texts("20", "700", "0", "10000", "0", "0")));
    run_seconds(60);
    EXPECT_NEAR(display[display_id::respiratory_rate].value, 20.0f, 0.01f);
    EXPECT_NEAR(display[display_id::tidal_volume].value, 700.0f, 0.5f);
    // Total ventilation is rate times tidal volume.
    EXPECT_NEAR(display[display_id::total_ventilation].value, 14.0f, 0.1f);
}

TEST_F(ApplySettings, RebreathingRaisesAlveolarCo2)
{
    run_seconds(10);
    const float pco2_before = display[display_id::alveolar_pco2].value;
    apply_respiration({1, 12}, respiration_numbers_of(texts("0", "0", "0", "10000", "0", "50")));
    run_seconds(120);
    EXPECT_GT(display[display_id::alveolar_pco2].value, pco2_before + 2.0f);
}

}  // namespace
