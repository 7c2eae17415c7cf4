// SPDX-License-Identifier: Apache-2.0
// The panels without widgets: start-up rows, the duplicate rule, value entry
// with clamping, the passport, what the rows show, and the pressure units,
// including the model getting mm Hg in kPa mode across RUN, RESET, save, load.
#include "fake_ui.h"
#include "panel_logic.h"
#include "respiration_settings.h"
#include "simulator.h"
#include "subject_file.h"
#include "tolvane_model.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

namespace {

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override { sim.start(); }
    void TearDown() override
    {
        if (sim.state().si_pressure) sim.set_pressure_units(false);
    }
    fake_ui ui;
    simulator sim{ui};
};

TEST(InitialSelection, EveryRowIsValidAndNoFactorRepeats)
{
    const panel_selection selection = initial_selection();
    std::set<int> seen;
    for (int row = 0; row < panel_rows; ++row) {
        const int f = selection.factor_sel[row];
        EXPECT_TRUE(valid_factor_selection(f)) << row;
        if (f != -1) {
            EXPECT_TRUE(seen.insert(f).second) << row;
        }
        EXPECT_TRUE(valid_display_selection(selection.display_sel[row])) << row;
    }
    // Row 4 shows "Work Rate", the last factor, where the shipped table named one past it.
    EXPECT_EQ(selection.factor_sel[4], factor_id::work_rate);
    EXPECT_STREQ(factor[factor_id::work_rate].name, "Work Rate");
}

TEST_F(PanelTest, DuplicateFactorEmptiesTheRowWithHint1)
{
    sim.factor_selection_changed(1, factor_id::inspired_o2);  // row 0 already shows it
    EXPECT_EQ(sim.selection().factor_sel[1], -1);
    EXPECT_EQ(sim.selection().factor_sel[0], factor_id::inspired_o2);
    EXPECT_EQ(ui.hint, " duplicate subject factor, not accepted");
    EXPECT_EQ(ui.beeps, 1);
    const panel_view view = sim.panels(0);
    EXPECT_EQ(view.factors[1].selected, -1);
    EXPECT_EQ(view.factors[1].value_text, " - - - - -");
    EXPECT_TRUE(view.factors[1].unit.isEmpty());
    // A free factor is taken; the same factor again in its own row is no duplicate.
    sim.factor_selection_changed(1, factor_id::breathing_capacity);
    sim.factor_selection_changed(1, factor_id::breathing_capacity);
    EXPECT_EQ(sim.selection().factor_sel[1], factor_id::breathing_capacity);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(sim.state().cursor_pinned);
}

TEST_F(PanelTest, SelectionChangesRedrawOnlyAfterTheFirstSecond)
{
    const int before = ui.redraws;
    sim.display_selection_changed(3, display_id::arterial_ph);
    EXPECT_EQ(sim.selection().display_sel[3], display_id::arterial_ph);
    EXPECT_EQ(ui.redraws, before + 1);      // the panels refresh either way
    sim.display_selection_changed(3, 999);  // not a display index: ignored
    EXPECT_EQ(sim.selection().display_sel[3], display_id::arterial_ph);
}

struct entry_case {
    const char* text;
    float stored;
    const char* shown;
    bool adjusted;
};

TEST_F(PanelTest, EnteredValuesReadLikeAtofAndClampToTheLimits)
{
    // "Inspired O2 percentage", 0 to 100.
    const entry_case cases[] = {
        {"25", 25.0f, "25.00", false},        {"150", 100.0f, "100.00", true},
        {"-5", 0.0f, "0.00", true},           {"abc", 0.0f, "0.00", false},
        {"  12.5xyz", 12.5f, "12.50", false}, {"1e2", 100.0f, "100.00", false},
        {"1e999", 100.0f, "100.00", true},    {".5", 0.5f, "0.50", false},
        {"+3", 3.0f, "3.00", false},          {"0x10", 0.0f, "0.00", false},
        {"nan", 0.0f, "0.00", false},         {"inf", 0.0f, "0.00", false},
        {"20,5", 20.0f, "20.00", false},      {"", 0.0f, "0.00", false},
        {"99.999", 99.999f, "100.00", false}, {"100.0001", 100.0f, "100.00", true},
    };
    for (const entry_case& c : cases) {
        const entered_value v =
            enter_value(factor[factor_id::inspired_o2], QString::fromLatin1(c.text), "%.2f");
        EXPECT_FLOAT_EQ(v.stored, c.stored) << c.text;
        EXPECT_FLOAT_EQ(factor[factor_id::inspired_o2].value, c.stored) << c.text;
        EXPECT_EQ(v.text, c.shown) << c.text;
        EXPECT_EQ(v.adjusted, c.adjusted) << c.text;
    }
}

TEST_F(PanelTest, FactorExitRereadsEveryRowAndHintsEachAdjustment)
{
    std::array<QString, panel_rows> texts;
    texts[0] = "25";   // O2
    texts[1] = "150";  // CO2, outside 0..100
    texts[2] = "37";   // temperature
    texts[3] = "0";    // 2,3-DPG, minimum 1
    texts[4] = "10";   // work rate
    texts[5] = "ignored";
    const std::array<QString, panel_rows> shown = sim.factor_exit(texts);
    EXPECT_EQ(shown[0], "25.00");
    EXPECT_EQ(shown[1], "100.00");
    EXPECT_EQ(shown[3], "1.00");
    EXPECT_EQ(shown[5], " - - - - -");
    EXPECT_FLOAT_EQ(factor[factor_id::inspired_o2].value, 25.0f);
    EXPECT_FLOAT_EQ(factor[factor_id::inspired_co2].value, 100.0f);
    EXPECT_FLOAT_EQ(factor[factor_id::work_rate].value, 10.0f);
    EXPECT_EQ(ui.beeps, 2);
    // Each adjusted row names its limit on the hint line; the last one stays.
    EXPECT_TRUE(ui.hint_history.contains("Inspired CO2 percentage: 150 is above 100; set to 100"))
        << ui.hint_history.join('|').toStdString();
    EXPECT_EQ(ui.hint, "2,3-DPG concentration in red cells: 0 is below 1; set to 1");
}

TEST_F(PanelTest, PassportEntryClampsAndRecomputesTheBmi)
{
    passport_texts shown = sim.passport_exit("178", "70", "40", 1);
    EXPECT_EQ(shown.bmi, "22.1");
    EXPECT_EQ(ui.beeps, 0);
    shown = sim.passport_exit("300", "70", "5", 0);
    EXPECT_EQ(shown.height, "200.0");
    EXPECT_EQ(shown.age, "8.0");
    EXPECT_EQ(shown.bmi, "17.5");
    EXPECT_EQ(shown.sex_index, 0);
    EXPECT_EQ(sex, 0);
    EXPECT_EQ(ui.beeps, 2);
}

TEST_F(PanelTest, FactorValuesTurnSilverAwayFromTheCurrentTime)
{
    sim.controller().run_to_minute();
    sim.mouse_down(160 + 30 - sim.state().win_start, 200);
    ASSERT_EQ(sim.panel_time(), 30);
    const panel_view earlier = sim.panels(30);
    EXPECT_EQ(earlier.factors[0].value_colour, QColor(192, 192, 192));
    EXPECT_EQ(earlier.factors[0].value_text, QString::asprintf("%.2f", factor[factor_id::inspired_o2].value));
    EXPECT_EQ(earlier.displays[0].value_text,
              QString::asprintf("%.2f", history[display_id::arterial_po2][30]));
    EXPECT_EQ(earlier.time_text, "00:30");
    const panel_view now = sim.panels(60);
    EXPECT_EQ(now.factors[0].value_colour, QColor(0, 0, 0));
    EXPECT_EQ(now.time_text, "01:00");
    EXPECT_EQ(now.factors[2].unit, "degree centigrade");
}

TEST_F(PanelTest, NoDisplayRowShowsAValueAndNoUnit)
{
    sim.display_selection_changed(2, num_dsy - 1);
    const panel_view view = sim.panels(0);
    EXPECT_EQ(view.displays[2].selected, num_dsy - 1);
    EXPECT_EQ(view.displays[2].value_text, "0.00");
    EXPECT_TRUE(view.displays[2].unit.isEmpty());
}

TEST_F(PanelTest, SwitchingToKpaAndBackExchangesRecordsAndConvertsTheFactor)
{
    const char* mmhg_unit = factor[factor_id::barometric_pressure].unit;
    const char* kpa_unit = alt_fact[0].unit;
    const char* pao2_unit = display[display_id::arterial_po2].unit;
    sim.set_pressure_units(true);
    EXPECT_TRUE(sim.state().si_pressure);
    EXPECT_FALSE(sim.state().credits_shown);
    EXPECT_EQ(factor[factor_id::barometric_pressure].unit, kpa_unit);  // the record refers to the other text
    EXPECT_EQ(alt_fact[0].unit, mmhg_unit);
    EXPECT_FLOAT_EQ(factor[factor_id::barometric_pressure].minimum, 6.0f);
    EXPECT_FLOAT_EQ(factor[factor_id::barometric_pressure].maximum, 510.0f);
    EXPECT_EQ(QString::asprintf("%.2f", factor[factor_id::barometric_pressure].value), "101.23");
    EXPECT_STREQ(display[display_id::arterial_po2].unit, "kPa");
    EXPECT_FLOAT_EQ(display[display_id::arterial_po2].maximum, 20.0f);
    EXPECT_FLOAT_EQ(display[display_id::arterial_po2].value,
                    history[display_id::arterial_po2][0]);  // displays stay in mm Hg
    EXPECT_EQ(sim.panels(0).displays[0].value_text,
              QString::asprintf("%.2f", history[display_id::arterial_po2][0] * 0.1332));
    EXPECT_EQ(sim.panels(0).displays[0].unit, "kPa");

    sim.set_pressure_units(true);  // already in force: nothing is converted twice
    EXPECT_EQ(QString::asprintf("%.2f", factor[factor_id::barometric_pressure].value), "101.23");

    sim.set_pressure_units(false);
    EXPECT_EQ(factor[factor_id::barometric_pressure].unit, mmhg_unit);
    EXPECT_EQ(display[display_id::arterial_po2].unit, pao2_unit);
    EXPECT_FLOAT_EQ(factor[factor_id::barometric_pressure].minimum, 50.0f);
    EXPECT_FLOAT_EQ(factor[factor_id::barometric_pressure].maximum, 3800.0f);
    EXPECT_FLOAT_EQ(display[display_id::arterial_po2].maximum, 150.0f);
    EXPECT_EQ(QString::asprintf("%.2f", factor[factor_id::barometric_pressure].value), "760.00");
}

// Runs two minutes from a restart and returns PaO2 and PaCO2 at the end.
std::pair<float, float> two_minutes(simulator& sim)
{
    sim.reset_clicked();
    sim.controller().run_to_minute();
    sim.controller().run_to_minute();
    return {display[display_id::arterial_po2].value, display[display_id::arterial_pco2].value};
}

TEST_F(PanelTest, KpaModeGivesTheModelMillimetresAtEveryStep)
{
    const std::pair<float, float> in_mmhg = two_minutes(sim);
    sim.set_pressure_units(true);
    const float shown = factor[factor_id::barometric_pressure].value;
    const std::pair<float, float> in_kpa = two_minutes(sim);  // RESET, then RUN in kPa
    EXPECT_EQ(in_kpa, in_mmhg);
    EXPECT_EQ(factor[factor_id::barometric_pressure].value, shown);  // bit for bit what the user saw
    EXPECT_EQ(sim.panels(sim.panel_time()).factors[0].value_text,
              QString::asprintf("%.2f", factor[factor_id::inspired_o2].value));
    // After RESET in kPa mode the panel shows the standard pressure in kPa.
    sim.reset_clicked();
    EXPECT_EQ(QString::asprintf("%.2f", factor[factor_id::barometric_pressure].value), "101.23");
    // A typed kPa value reaches the model as mm Hg: 50 kPa is 375.4 mm Hg.
    enter_value(factor[factor_id::barometric_pressure], "50", "%.2f");
    sim.controller().run_to_minute();
    const float pao2_at_50kpa = display[display_id::arterial_po2].value;
    sim.set_pressure_units(false);
    sim.reset_clicked();
    enter_value(factor[factor_id::barometric_pressure], QString::number(50.0f * 7.507507507507507f, 'f', 4),
                "%.2f");
    sim.controller().run_to_minute();
    EXPECT_NEAR(display[display_id::arterial_po2].value, pao2_at_50kpa, 0.01f);
    EXPECT_LT(pao2_at_50kpa, in_mmhg.first - 20.0f);  // low pressure does show
}

TEST_F(PanelTest, SavedFilesHoldModelUnitsWhateverIsShown)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kpa.sbj");
    sim.set_pressure_units(true);
    ASSERT_EQ(sim.save_subject(path).code(), save_status::ok);
    const subject_read_result read = read_subject_file(path);
    ASSERT_EQ(read.status.code(), subject_read_status::ok);
    EXPECT_FLOAT_EQ(read.data.factors[factor_id::barometric_pressure], 760.0f);
    // Loading in kPa mode shows kPa; loading in mm Hg mode shows mm Hg.
    factor[factor_id::barometric_pressure].value = 50.0f;
    ASSERT_EQ(sim.load_subject(path).status.code(), subject_read_status::ok);
    EXPECT_EQ(QString::asprintf("%.2f", factor[factor_id::barometric_pressure].value), "101.23");
    EXPECT_EQ(sim.panels(0).factors[0].value_text,
              QString::asprintf("%.2f", factor[factor_id::inspired_o2].value));
    sim.set_pressure_units(false);
    ASSERT_EQ(sim.load_subject(path).status.code(), subject_read_status::ok);
    EXPECT_EQ(QString::asprintf("%.2f", factor[factor_id::barometric_pressure].value), "760.00");
}

// A bag attached through the respiration dialog is filled with gas amounts
// reckoned from the barometric pressure: in kPa mode as in mm Hg mode.
TEST_F(PanelTest, BagAttachedInKpaModeHoldsTheSameGas)
{
    auto attach = [&] {
        sim.reset_clicked();
        EXPECT_EQ(apply_respiration({1, 10}, respiration_numbers_of(current_respiration_texts())),
                  respiration_ok_result::accepted);
        respiration_texts texts = current_respiration_texts();
        texts.bag_volume = "5000";
        texts.bag_co2 = "5";
        texts.bag_o2 = "20";
        EXPECT_EQ(apply_respiration({1, 11}, respiration_numbers_of(texts)), respiration_ok_result::accepted);
        const std::pair<float, float> amounts{display[display_id::bag_co2_amount].value,
                                              display[display_id::bag_o2_amount].value};
        apply_respiration({1, 10}, respiration_numbers_of(current_respiration_texts()));  // bag off again
        return amounts;
    };
    const std::pair<float, float> in_mmhg = attach();
    EXPECT_GT(in_mmhg.first, 200.0f);  // about 5000 ml x 5 % at body conditions
    EXPECT_FALSE(listed_factors_in_kpa());
    sim.set_pressure_units(true);
    EXPECT_TRUE(listed_factors_in_kpa());
    const float shown = factor[factor_id::barometric_pressure].value;
    EXPECT_EQ(attach(), in_mmhg);
    EXPECT_EQ(factor[factor_id::barometric_pressure].value, shown);
}

TEST(ModelUnitsScope, HandsOverMillimetresAndRestoresTheShownValueExactly)
{
    fake_ui ui;
    simulator sim(ui);
    sim.start();
    sim.set_pressure_units(true);
    const float shown = factor[factor_id::barometric_pressure].value;
    {
        const model_units_scope scope(true);
        EXPECT_NEAR(factor[factor_id::barometric_pressure].value, 760.0f, 0.001f);
    }
    EXPECT_EQ(factor[factor_id::barometric_pressure].value, shown);
    {
        const model_units_scope scope(false);  // mm Hg in force: nothing changes
        EXPECT_EQ(factor[factor_id::barometric_pressure].value, shown);
    }
    EXPECT_NEAR(factor_value_in_model_units(25, true), 760.0f, 0.001f);
    EXPECT_EQ(factor_value_in_model_units(16, true), factor[factor_id::inspired_o2].value);
    sim.set_pressure_units(false);
}

}  // namespace
