// SPDX-License-Identifier: Apache-2.0
// Conversions used everywhere: code page 1252 texts, pressures, mm:ss.
#include "cp1252.h"
#include "pressure_units.h"
#include "slot_ids.h"
#include "tolvane_model.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, HighControlRangeMapsToTypographicCharacters)
{
    const struct {
        const char* bytes;
        char16_t code;
    } cases[] = {
        {"\x91", 0x2018}, {"\x92", 0x2019}, {"\x93", 0x201C}, {"\x94", 0x201D}, {"\x80", 0x20AC},
        {"\x96", 0x2013}, {"\x97", 0x2014}, {"\x85", 0x2026}, {"\x9F", 0x0178}, {"\x81", 0xFFFD},
        {"\xE9", 0x00E9}, {"\xA0", 0x00A0}, {"A", u'A'},
    };
    for (const auto& c : cases) {
        const QString text = from_cp1252(c.bytes);
        ASSERT_EQ(text.size(), 1) << static_cast<int>(static_cast<unsigned char>(c.bytes[0]));
        EXPECT_EQ(text[0].unicode(), c.code) << static_cast<int>(static_cast<unsigned char>(c.bytes[0]));
    }
    EXPECT_TRUE(from_cp1252(nullptr).isEmpty());
}

TEST(Cp1252, CatalogueNamesWithQuotesDecode)
{
    EXPECT_EQ(from_cp1252(display[display_id::tissue_n2_fast].name),
              QString::fromUtf8("Tissue N2 amount in ‘fast’ compartment"));
    EXPECT_EQ(from_cp1252(alt_dspy[8].name), QString::fromUtf8("Tissue N2 partial in ‘slow’ compartment"));
}

TEST(PressureUnits, ConversionsAreInverse)
{
    EXPECT_DOUBLE_EQ(mmhg_to_kpa(760.0), 101.232);
    EXPECT_NEAR(kpa_to_mmhg(mmhg_to_kpa(760.0)), 760.0, 1e-9);
    EXPECT_EQ(QString::asprintf("%.2f", mmhg_to_kpa(760.0)), "101.23");
}

TEST(MinutesSeconds, FormatsAndParses)
{
    const struct {
        int seconds;
        const char* text;
    } cases[] = {{0, "00:00"}, {65, "01:05"}, {200, "03:20"}, {4505, "75:05"}, {6000, "100:00"}};
    for (const auto& c : cases) {
        EXPECT_EQ(format_minutes_seconds(c.seconds), c.text);
        EXPECT_EQ(parse_minutes_seconds(c.text), c.seconds) << c.text;
    }
    for (const char* bad : {"", "1:5", "1:60", "a:00", "01:05x", "-1:00"})
        EXPECT_FALSE(parse_minutes_seconds(bad).has_value()) << bad;
    EXPECT_EQ(parse_minutes_seconds("1:05"), 65);
}

}  // namespace
