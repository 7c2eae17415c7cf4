// Factors named on the command line: short names, indices, and the nearest
// names offered for a typo.
#include "factor_names.h"

#include <gtest/gtest.h>

namespace {

TEST(FactorNames, EditDistanceCountsSingleCharacterEdits)
{
    const struct {
        const char* a;
        const char* b;
        int distance;
    } cases[] = {
        {"", "", 0},         {"", "peep", 4},          {"peep", "", 4},
        {"peep", "peep", 0}, {"peep", "pep", 1},       {"pep", "peep", 1},
        {"o2", "o3", 1},     {"kitten", "sitting", 3}, {"inspired_o2", "inspired_co2", 1},
        {"ab", "ba", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edit_distance(QString::fromLatin1(c.a), QString::fromLatin1(c.b)), c.distance)
            << c.a << " / " << c.b;
    }
}

TEST(FactorNames, NamesAndIndicesFindTheSameFactor)
{
    EXPECT_EQ(find_factor("inspired_o2").index, 16);
    EXPECT_EQ(find_factor("16").index, 16);
    EXPECT_EQ(find_factor("work_rate").index, 31);
    EXPECT_EQ(find_factor("0").index, 0);
    EXPECT_EQ(find_factor("31").index, 31);
    EXPECT_TRUE(find_factor("haemoglobin").error.isEmpty());
}

TEST(FactorNames, BadTextsSayWhatIsWrong)
{
    const struct {
        const char* text;
        const char* fragment;
    } cases[] = {
        {"32", "factor index must be a whole number 0 to 31, got \"32\""},
        {"-1", "0 to 31, got \"-1\""},
        {"inspired_02", "unknown factor \"inspired_02\" (nearest: inspired_o2, inspired_co2;"},
        {"hemoglobin", "(nearest: haemoglobin;"},
        {"temperature", "nearest: body_temperature"},
        {"barometric", "nearest: barometric_pressure"},
        {"arterial_po2", "\"arterial_po2\" is a display variable, not a subject factor"},
        {"zzzzzzzzzzzz", "(tolvane-batch --list shows the names)"},
        {"", "unknown factor \"\""},
    };
    for (const auto& c : cases) {
        const qt_factor_lookup found = find_factor(QString::fromLatin1(c.text));
        EXPECT_EQ(found.index, -1) << c.text;
        EXPECT_TRUE(found.error.contains(QString::fromLatin1(c.fragment))) << found.error.toStdString();
    }
}

TEST(FactorNames, AtMostThreeSuggestionsClosestFirst)
{
    const QStringList near = nearest_factor_names("bag");  // bag_co2, bag_o2, bag_volume
    ASSERT_EQ(near.size(), 3);
    EXPECT_TRUE(near.contains("bag_o2"));
    EXPECT_EQ(nearest_factor_names("work_rte").value(0), "work_rate");
    EXPECT_TRUE(nearest_factor_names("x").isEmpty());
}

}  // namespace
