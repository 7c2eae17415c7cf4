// The texts the programs have always written: fixed-point numbers whose
// exact ties round away from zero and whose zero has no sign, "mm:ss"
// times, and typed numbers read as the C library reads them.
#include "number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

struct fixed_case {
    double value;
    int decimals, width;
    bool space_sign;
    const char* text;
};

class FormatFixed : public ::testing::TestWithParam<fixed_case> {};

TEST_P(FormatFixed, AsTheWindowWritesIt)
{
    const fixed_case& c = GetParam();
    EXPECT_EQ(format_fixed(c.value, c.decimals, c.width, c.space_sign), c.text) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FormatFixed,
    ::testing::Values(fixed_case{0.125, 2, 0, false, "0.13"},  // exact tie: away from zero (printf: 0.12)
                      fixed_case{-0.125, 2, 0, false, "-0.13"}, fixed_case{100.125, 2, 0, false, "100.13"},
                      fixed_case{0.25, 1, 0, false, "0.3"}, fixed_case{2.5, 1, 0, false, "2.5"},
                      fixed_case{12.345, 2, 0, false, "12.35"},  // not a tie in binary: printf's digits
                      fixed_case{0.015, 2, 0, false, "0.01"}, fixed_case{-0.0, 2, 0, false, "0.00"},
                      fixed_case{-1e-9, 2, 0, false, "-0.00"}, fixed_case{20.93, 2, 7, false, "  20.93"},
                      fixed_case{178, 1, 9, true, "    178.0"}, fixed_case{-5, 1, 9, true, "     -5.0"},
                      fixed_case{0.1, 1, 9, true, "      0.1"},
                      fixed_case{FLT_MAX, 2, 7, false, "340282346638528859811704183484516925440.00"},
                      fixed_case{123456789.125, 2, 0, false, "123456789.13"}));

TEST(MinutesSeconds, WrittenAndReadBack)
{
    EXPECT_EQ(minutes_seconds_text(0), "00:00");
    EXPECT_EQ(minutes_seconds_text(75 * 60 + 5), "75:05");
    EXPECT_EQ(read_minutes_seconds("3:00"), 180);
    EXPECT_EQ(read_minutes_seconds("1234567:59"), 1234567 * 60 + 59);
    for (const char* bad : {"3:60", "3:5", ":00", "12345678:00", "3:00 ", "a:00", "-1:00", ""})
        EXPECT_EQ(read_minutes_seconds(bad), std::nullopt) << bad;
}

TEST(TypedNumbers, ReadAsTheCLibraryReadsThem)
{
    EXPECT_EQ(atof_value("  12.5 % O2"), 12.5f);
    EXPECT_EQ(atof_value("abc"), 0.0f);
    EXPECT_EQ(atof_value("1e999"), FLT_MAX);
    EXPECT_EQ(atof_value("-1e999"), -FLT_MAX);
    EXPECT_EQ(atof_value("0x10"), 0.0f);
    EXPECT_EQ(read_leading_number("\t-3.25e1x"), -32.5);
    EXPECT_EQ(read_leading_number("nan"), 0.0);
    EXPECT_TRUE(std::isinf(read_leading_number("1e999")));
}

}  // namespace
