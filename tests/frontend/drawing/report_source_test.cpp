// SPDX-License-Identifier: Apache-2.0
// The report's input as the print command and tolvane-batch fill it from the
// live simulator: times after a run, the panel rows, the memo text, and values
// and limits in the pressure units in force.
#include "fake_ui.h"
#include "report_source.h"
#include "run_state.h"
#include "simulator.h"
#include "slot_ids.h"
#include "tolvane_model.h"

#include <gtest/gtest.h>

namespace {

class ReportSourceTest : public ::testing::Test {
protected:
    void SetUp() override { sim.start(); }
    void TearDown() override { sim.set_pressure_units(false); }

    fake_ui ui;
    simulator sim{ui};
};

// arterial_po2 is listed in a_d_lst: it has a kPa record.

TEST_F(ReportSourceTest, AfterARunTheCursorStandsAtItsEnd)
{
    sim.controller().run_to_minute();
    sim.controller().run_to_minute();
    const report_input input =
        report_input_from(sim, QStringLiteral("01:20 Your patient is blue.\r\n"), QStringLiteral("today"));
    EXPECT_EQ(input.sim_time, 120);
    EXPECT_EQ(input.cursor_time, 120);
    EXPECT_EQ(input.win_start, sim.state().win_start);
    EXPECT_EQ(input.factor_rows, sim.selection().factor_sel);
    EXPECT_EQ(input.display_rows, sim.selection().display_sel);
    EXPECT_EQ(input.clinical_notes, QStringLiteral("01:20 Your patient is blue.\r\n"));
    EXPECT_EQ(input.date_text, QStringLiteral("today"));
    EXPECT_EQ(input.subject_name, sim.subject_name());
    EXPECT_EQ(input.factor_count, num_fct);
    EXPECT_EQ(input.display_count, num_dsy);
    EXPECT_EQ(input.height.value, height.value);
    EXPECT_EQ(input.sex, sex);
    for (int t : {0, 59, 120})
        EXPECT_EQ(input.display_value(display_id::arterial_po2, t), history[display_id::arterial_po2][t])
            << t;
}

TEST_F(ReportSourceTest, InputKeepsTheTimesOfItsMomentWhenTheSimulatorMovesOn)
{
    sim.controller().run_to_minute();
    const report_input input = report_input_from(sim, {}, {});
    sim.controller().run_to_minute();
    EXPECT_EQ(input.sim_time, 60);
    EXPECT_EQ(input.cursor_time, 60);
}

TEST_F(ReportSourceTest, KilopascalsWhenTheyAreInForce)
{
    sim.controller().run_to_minute();
    const float mmhg_max = display[display_id::arterial_po2].maximum;
    sim.set_pressure_units(true);
    const report_input input = report_input_from(sim, {}, {});
    const catalogue_record& record = input.displays[display_id::arterial_po2];
    EXPECT_STREQ(record.unit, "kPa");
    EXPECT_LT(record.maximum, mmhg_max);
    EXPECT_DOUBLE_EQ(input.display_value(display_id::arterial_po2, 60),
                     static_cast<double>(history[display_id::arterial_po2][60]) * 0.1332);
}

}  // namespace
