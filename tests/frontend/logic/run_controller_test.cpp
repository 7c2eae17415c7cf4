// SPDX-License-Identifier: Apache-2.0
// The run controller over the real model: run lengths, deaths, navigation
// clamps and their hints, cursor keys and clicks, the hint time-out, and the
// busy guard of a run step.
#include "fake_ui.h"
#include "panel_logic.h"
#include "simulator.h"
#include "tolvane_model.h"

#include <QRegularExpression>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class RunControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui.on_timer = [this] { sim.hint_timeout(); };
        sim.start();
    }
    run_state& st() { return sim.state(); }

    // Runs whole steps until sim_time reaches t (a multiple of 60).
    void run_to(int t)
    {
        while (st().sim_time < t) ASSERT_TRUE(sim.controller().run_to_minute().started);
    }

    // Places the cursor at time t through a click on the plot.
    void click_time(int t)
    {
        sim.mouse_down(160 + (t - st().win_start), 200);
        ASSERT_EQ(st().cursor_time, t)
            << "sim " << st().sim_time << " win " << st().win_start << " hint " << ui.hint.toStdString();
    }

    fake_ui ui;
    simulator sim{ui};
};

TEST_F(RunControllerTest, RestartLeavesFreshSubjectWithOnlyRunEnabled)
{
    EXPECT_EQ(st().sim_time, 0);
    EXPECT_TRUE(st().credits_shown);
    EXPECT_FALSE(st().cursor_pinned);
    EXPECT_TRUE(ui.is_enabled(ui_control::run));
    for (ui_control c :
         {ui_control::rerun, ui_control::back, ui_control::forward, ui_control::reset, ui_control::print})
        EXPECT_FALSE(ui.is_enabled(c));
    EXPECT_EQ(ui.passport.height, "178.0");
    EXPECT_EQ(ui.passport.weight, "70.0");
    EXPECT_EQ(ui.passport.bmi, "22.1");
    EXPECT_EQ(ui.passport.age, "40.0");
    EXPECT_EQ(ui.passport.sex_index, 1);
    // Column 0 holds the standard subject.
    EXPECT_FLOAT_EQ(history[display_id::arterial_po2][0], display[display_id::arterial_po2].value);
    EXPECT_FLOAT_EQ(history[num_dsy + 3][0], other[other_id::resting_o2_consumption]);
}

TEST_F(RunControllerTest, RunFromZeroAdvancesOneMinuteAndEnablesEverything)
{
    const step_outcome outcome = sim.controller().run_to_minute();
    EXPECT_EQ(outcome.step_length, 60);
    EXPECT_EQ(outcome.seconds_done, 60);
    EXPECT_EQ(outcome.failure.code(), 0);
    EXPECT_EQ(st().sim_time, 60);
    EXPECT_EQ(st().latest_time, 60);
    EXPECT_FALSE(st().credits_shown);
    for (ui_control c : {ui_control::run, ui_control::rerun, ui_control::back, ui_control::forward,
                         ui_control::reset, ui_control::print})
        EXPECT_TRUE(ui.is_enabled(c));
    // The newest second holds the live values; the cursor follows the trace end.
    EXPECT_FLOAT_EQ(history[display_id::arterial_pco2][history_slot(60)],
                    display[display_id::arterial_pco2].value);
    EXPECT_EQ(st().cursor_time, 60);
    EXPECT_EQ(sim.panel_time(), 60);
}

TEST_F(RunControllerTest, RerunTo1m15ThenRunAdvances45Seconds)
{
    run_to(120);
    click_time(75);
    sim.rerun_clicked();
    EXPECT_EQ(st().sim_time, 75);
    EXPECT_FLOAT_EQ(display[display_id::arterial_po2].value, history[display_id::arterial_po2][75]);
    EXPECT_FLOAT_EQ(other[other_id::ventilation_demand], history[num_dsy + 11][75]);
    const step_outcome outcome = sim.controller().run_to_minute();
    EXPECT_EQ(outcome.step_length, 45);
    EXPECT_EQ(st().sim_time, 120);
    EXPECT_EQ(st().latest_time, 120);
}

TEST_F(RunControllerTest, RerunTo3m20AfterSixMinutesKeepsLatestTime)
{
    run_to(360);
    click_time(200);
    sim.rerun_clicked();
    EXPECT_EQ(st().sim_time, 200);
    EXPECT_EQ(st().latest_time, 360);
    EXPECT_TRUE(st().cursor_pinned);
    EXPECT_EQ(sim.controller().run_to_minute().step_length, 40);
    EXPECT_EQ(st().sim_time, 240);
    EXPECT_EQ(st().latest_time, 360);
}

TEST_F(RunControllerTest, WindowScrollsSoTheNewestMinuteLiesOnTheLastGridLine)
{
    // Client width 1022: the last labelled minute line is at offset 660.
    run_to(720);
    EXPECT_EQ(st().grid_span, 660);
    EXPECT_EQ(st().win_start, 60);
    run_to(780);
    EXPECT_EQ(st().win_start, 120);
}

// Makes the next model second end in death: the decompression index is
// restored (RE-RUN) to a lethal value that nothing lowers without bubbles.
void make_next_second_lethal(simulator& sim, int at)
{
    history[display_id::decompression_risk][history_slot(at)] = 300.0f;
    history[display_id::excess_n2][history_slot(at)] = 0.0f;
    sim.state().cursor_time = at;
    sim.state().cursor_pinned = true;
    sim.rerun_clicked();
}

// Makes the next model second fail: a negative venous bicarbonate amount,
// restored by a RE-RUN to time 0, gives a non-positive arterial bicarbonate.
void force_failure_next_second(simulator& sim)
{
    history[display_id::venous_bicarbonate_amount][0] = -1000.0f;
    sim.state().cursor_time = 0;
    sim.state().cursor_pinned = true;
    sim.rerun_clicked();
}

TEST_F(RunControllerTest, DeathRestoredByRerunEndsTheNextSecond)
{
    run_to(120);
    ui.beeps = 0;
    // Within a minute: a second where a RUN started is put back from what
    // it held after its settings, not from the history row.
    make_next_second_lethal(sim, 90);
    const step_outcome outcome = sim.controller().run_to_minute();
    ASSERT_TRUE(outcome.died);
    EXPECT_EQ(outcome.seconds_done, 1);
    EXPECT_EQ(st().sim_time, 91);
    EXPECT_FALSE(ui.is_enabled(ui_control::run));
    for (ui_control c :
         {ui_control::rerun, ui_control::back, ui_control::forward, ui_control::reset, ui_control::print})
        EXPECT_TRUE(ui.is_enabled(c));
    EXPECT_GE(ui.beeps, 1);
    EXPECT_TRUE(ui.clinical.contains("01:31 ")) << ui.clinical.toStdString();
    EXPECT_TRUE(ui.clinical.contains("I'm sorry, your patient has died."));
    // Variables not kept at death read their value at death in that column.
    for (int k = 0; k < num_dsy - 1; ++k) {
        if (s_display[k].kept_at_death == 0)
            EXPECT_FLOAT_EQ(history[k][history_slot(91)], s_display[k].at_death) << k;
        else
            EXPECT_FLOAT_EQ(history[k][history_slot(91)], display[k].value) << k;
    }
    // RUN stays off through RE-RUN and navigation; only a restart brings it back.
    EXPECT_FALSE(sim.controller().run_to_minute().started);
    EXPECT_EQ(st().sim_time, 91);
    click_time(30);
    sim.rerun_clicked();
    EXPECT_FALSE(ui.is_enabled(ui_control::run));
    sim.reset_clicked();
    EXPECT_TRUE(ui.is_enabled(ui_control::run));
    EXPECT_TRUE(ui.clinical.isEmpty());
}

// A fresh subject breathes no oxygen to 6:00 (anoxic but alive); then its
// anoxia index is set to `index` through a RE-RUN to that second and one
// step runs. Deterministic: every call starts from a restart.
step_outcome anoxic_step(simulator& sim, float index)
{
    sim.reset_clicked();
    factor[factor_id::inspired_o2].value = 0.0f;
    for (int minute = 0; minute < 6; ++minute) sim.controller().run_to_minute();
    history[num_dsy + 6][history_slot(360)] = index;
    sim.state().cursor_time = 360;
    sim.state().cursor_pinned = true;
    sim.rerun_clicked();
    return sim.controller().run_to_minute();
}

TEST_F(RunControllerTest, DeathInTheTenthSecondOfAStep)
{
    // The death second falls as the starting anoxia index rises: search the
    // index that makes the subject die in the step's 10th second.
    float low = 0.0f, high = 7.0f;
    ASSERT_FALSE(anoxic_step(sim, low).seconds_done <= 10 && st().sim_time <= 370);
    ASSERT_TRUE(anoxic_step(sim, high).died);
    for (int round = 0; round < 40; ++round) {
        const float middle = (low + high) / 2;
        const step_outcome outcome = anoxic_step(sim, middle);
        if (outcome.died && outcome.seconds_done <= 10)
            high = middle;
        else
            low = middle;
    }
    ui.beeps = 0;
    ui.clinical.clear();
    const step_outcome outcome = anoxic_step(sim, high);
    ASSERT_TRUE(outcome.died);
    ASSERT_EQ(outcome.seconds_done, 10);
    EXPECT_EQ(outcome.step_length, 60);
    EXPECT_EQ(st().sim_time, 370);
    EXPECT_EQ(st().latest_time, 370);
    EXPECT_FALSE(ui.is_enabled(ui_control::run));
    for (ui_control c :
         {ui_control::rerun, ui_control::back, ui_control::forward, ui_control::reset, ui_control::print})
        EXPECT_TRUE(ui.is_enabled(c));
    EXPECT_GE(ui.beeps, 1);
    EXPECT_TRUE(ui.clinical.contains("06:10 Anoxaemia has been severe and irrecoverable."))
        << ui.clinical.toStdString();
    const int column = history_slot(370);
    for (int k = 0; k < num_dsy - 1; ++k) {
        const float expected = s_display[k].kept_at_death == 0 ? s_display[k].at_death : display[k].value;
        EXPECT_FLOAT_EQ(history[k][column], expected) << k;
    }
}

TEST_F(RunControllerTest, SymptomNewsBeepsOncePerStep)
{
    // Bubbles enough to itch, restored by a RE-RUN to time 0 (as for a death).
    history[display_id::decompression_risk][0] = 120.0f;
    history[display_id::excess_n2][0] = 0.0f;
    st().cursor_time = 0;
    st().cursor_pinned = true;
    sim.rerun_clicked();
    const step_outcome outcome = sim.controller().run_to_minute();
    ASSERT_TRUE(outcome.symptom);
    EXPECT_FALSE(outcome.died);
    EXPECT_EQ(outcome.seconds_done, 60);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(ui.clinical.startsWith("00:01 My skin is itching. \r\n")) << ui.clinical.toStdString();
    // Every line carries the second it was reported in.
    for (const QString& line : ui.clinical.split("\r\n", Qt::SkipEmptyParts))
        EXPECT_TRUE(line.contains(QRegularExpression("^00:[0-5][0-9] \\S"))) << line.toStdString();
}

TEST_F(RunControllerTest, BackClampsAtZeroWithHint4)
{
    run_to(120);
    st().win_start = 30;
    sim.back_clicked();
    EXPECT_EQ(st().win_start, 0);
    EXPECT_EQ(ui.hint, QString(hint_texts[4]));
    EXPECT_TRUE(st().cursor_pinned);
}

TEST_F(RunControllerTest, BackClampsAtHistoryCapacityWithHint5)
{
    // latest_time 2000 without running 34 minutes: the clamp reads only times.
    st().latest_time = 2000;
    st().sim_time = 2000;
    st().win_start = 240;
    sim.back_clicked();
    EXPECT_EQ(st().win_start, 200);
    EXPECT_EQ(ui.hint, QString(hint_texts[5]));
    ui.hint.clear();
    sim.back_clicked();
    EXPECT_EQ(st().win_start, 200);
    EXPECT_EQ(ui.hint, QString(hint_texts[5]));
}

// The plot window may start at latest_time - 1800, a column the newest
// second has already overwritten: the cursor keys stop one second later, at
// the oldest second the history still holds, so neither the panels nor a
// RE-RUN take the newest second for the oldest.
TEST_F(RunControllerTest, CursorKeysStopAtTheOldestSecondTheHistoryHolds)
{
    st().latest_time = 2000;
    st().sim_time = 2000;
    st().win_start = 200;
    st().cursor_time = 230;
    sim.cursor_key(cursor_direction::left, true);
    EXPECT_EQ(st().cursor_time, 201);
    sim.cursor_key(cursor_direction::left, false);
    EXPECT_EQ(st().cursor_time, 201);
    EXPECT_EQ(sim.session().earliest_rerun_time(), 201);
}

TEST_F(RunControllerTest, ForwardNeverPassesSimTimeAndThenEveryClickGivesHint3)
{
    run_to(120);
    st().win_start = 90;
    sim.forward_clicked();
    EXPECT_EQ(st().win_start, 120);
    EXPECT_EQ(ui.hint, QString(hint_texts[6]));
    ui.hint.clear();
    for (int x : {150, 160, 161, 170, 500}) {
        sim.mouse_down(x, 200);
        EXPECT_EQ(ui.hint, QString(hint_texts[3])) << x;
        ui.hint.clear();
    }
}

struct click_case {
    int x, y;
    bool accepted;
};

TEST_F(RunControllerTest, ClickAcceptanceFollowsThePlottedSpan)
{
    run_to(120);  // win_start 0, plotted span 120 s: x 161..280, y 21..382
    const click_case cases[] = {
        {160, 200, false}, {161, 200, true}, {280, 200, true}, {281, 200, false},
        {200, 20, false},  {200, 21, true},  {200, 382, true}, {200, 383, false},
    };
    for (const click_case& c : cases) {
        st().cursor_time = 0;
        st().cursor_pinned = false;
        ui.hint.clear();
        sim.mouse_down(c.x, c.y);
        if (c.accepted) {
            EXPECT_EQ(st().cursor_time, c.x - 160) << c.x << "," << c.y;
            EXPECT_TRUE(st().cursor_pinned);
            EXPECT_TRUE(ui.hint.isEmpty());
        } else {
            EXPECT_EQ(ui.hint, QString(hint_texts[3])) << c.x << "," << c.y;
        }
    }
}

TEST_F(RunControllerTest, CursorKeysMoveWithinTheWindow)
{
    run_to(180);
    st().win_start = 60;
    st().cursor_time = 85;
    st().cursor_pinned = true;
    sim.cursor_key(cursor_direction::left, true);  // Alt+Shift+Left: 25 s, not 60
    EXPECT_EQ(st().cursor_time, 60);
    const int redraws = ui.redraws;
    sim.cursor_key(cursor_direction::left, false);  // at win_start: stays, still redraws
    EXPECT_EQ(st().cursor_time, 60);
    EXPECT_EQ(ui.redraws, redraws + 1);
    sim.cursor_key(cursor_direction::right, false);
    EXPECT_EQ(st().cursor_time, 61);
    st().cursor_time = 150;
    sim.cursor_key(cursor_direction::right, true);  // stops at sim_time
    EXPECT_EQ(st().cursor_time, 180);
    st().cursor_pinned = false;
    sim.cursor_key(cursor_direction::right, false);
    EXPECT_TRUE(st().cursor_pinned);
}

TEST_F(RunControllerTest, SecondHintReplacesTheFirstAndTheLineEmptiesAtEightSeconds)
{
    sim.back_clicked();  // hint 4 at 0 s
    EXPECT_EQ(ui.hint, QString(hint_texts[4]));
    EXPECT_EQ(ui.hint_timer_interval, 5000);
    ui.advance_time(3000);
    sim.mouse_down(10, 10);  // hint 3 at 3 s
    EXPECT_EQ(ui.hint, QString(hint_texts[3]));
    ui.advance_time(4999);
    EXPECT_EQ(ui.hint, QString(hint_texts[3]));
    ui.advance_time(1);
    EXPECT_TRUE(ui.hint.isEmpty());
    EXPECT_FALSE(ui.hint_timer_running);
    EXPECT_EQ(ui.beeps, 2);
}

TEST_F(RunControllerTest, ModelFailureStopsTheStepWithAWarningAndNoSample)
{
    force_failure_next_second(sim);
    const float before = history[display_id::arterial_po2][1];
    history[display_id::arterial_po2][1] = 12345.0f;
    const step_outcome outcome = sim.controller().run_to_minute();
    if (outcome.failure.code() == 0) GTEST_SKIP() << "the model tolerated the inputs";
    EXPECT_EQ(outcome.seconds_done, 0);
    EXPECT_EQ(outcome.failed_time(), 1);
    EXPECT_EQ(st().sim_time, 0);
    EXPECT_FALSE(outcome.died);
    ASSERT_EQ(ui.warnings.size(), 1);
    EXPECT_EQ(ui.warnings[0],
              QString::asprintf("Item %d is negative - please notify authority.", outcome.failure.code()));
    EXPECT_FLOAT_EQ(history[display_id::arterial_po2][1], 12345.0f);
    EXPECT_TRUE(ui.is_enabled(ui_control::run));
    EXPECT_TRUE(ui.is_enabled(ui_control::rerun));
    // The failed second was not counted: the clock stays at the last second computed.
    EXPECT_EQ(st().latest_time, 0);
    history[display_id::arterial_po2][1] = before;
}

// A step failing within a run leaves the clock, the cursor and the model at
// the last second computed: the history column of the failed second still
// holds an earlier run's second, and nothing shows it. The next RUN starts
// from the second before the failure, and with its cause mended runs the
// minute on as if the failure had never been.
TEST_F(RunControllerTest, FailedStepLeavesEverythingAtTheLastSecondComputed)
{
    run_to(180);
    const float good = history[display_id::venous_bicarbonate_amount][history_slot(90)];
    history[display_id::venous_bicarbonate_amount][history_slot(90)] = -1000.0f;
    sim.state().cursor_time = 90;
    sim.state().cursor_pinned = true;
    sim.rerun_clicked();
    const step_outcome outcome = sim.controller().run_to_minute();
    ASSERT_NE(outcome.failure.code(), 0);
    EXPECT_EQ(outcome.failed_time(), 91);
    EXPECT_EQ(st().sim_time, 90);
    EXPECT_EQ(st().cursor_time, 90);
    EXPECT_EQ(sim.panel_time(), 90);
    EXPECT_EQ(display[display_id::venous_bicarbonate_amount].value, -1000.0f);

    // The RUN that failed kept second 90 as it started (with the broken
    // value), so the cause is mended by going back one second further.
    history[display_id::venous_bicarbonate_amount][history_slot(90)] = good;
    sim.state().cursor_time = 89;
    sim.rerun_clicked();
    const step_outcome again = sim.controller().run_to_minute();
    EXPECT_EQ(again.failure.code(), 0);
    EXPECT_EQ(again.seconds_done, 31);
    EXPECT_EQ(st().sim_time, 120);
}

// Weight 0 (below its limit, possible only by hand) makes every value not a
// number in the first second: item 9 stops the step, nothing is recorded, and
// the subject is put back to the last recorded second, so a save writes no NaN.
TEST_F(RunControllerTest, StepLeavingValuesNotANumberIsItemNineAndIsUndone)
{
    const float cardiac_output = display[display_id::cardiac_output].value;
    const float recorded = history[display_id::cardiac_output][1] = 12345.0f;
    weight.value = 0;
    const step_outcome outcome = sim.controller().run_to_minute();
    weight.value = 70;
    EXPECT_EQ(outcome.failure.code(), failure_code::not_finite);
    EXPECT_EQ(outcome.seconds_done, 0);
    ASSERT_EQ(ui.warnings.size(), 1);
    EXPECT_EQ(ui.warnings[0], "Item 9 is not a number - please notify authority.");
    EXPECT_EQ(history[display_id::cardiac_output][1], recorded);
    EXPECT_EQ(display[display_id::cardiac_output].value, cardiac_output);
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) EXPECT_TRUE(std::isfinite(display[i].value)) << i;
    for (int k = 0; k < TOLVANE_NUM_OTHERS; ++k) EXPECT_TRUE(std::isfinite(other[k])) << k;
}

TEST_F(RunControllerTest, NothingElseStartsWhileAStepRuns)
{
    // The warning box of a failing step runs an event loop: clicks then land here.
    force_failure_next_second(sim);
    int sim_time_inside = -1;
    ui.on_warning = [&] {
        EXPECT_TRUE(sim.controller().busy());
        sim_time_inside = st().sim_time;
        sim.run_clicked();
        sim.back_clicked();
        sim.forward_clicked();
        sim.reset_clicked();
        sim.rerun_clicked();
        sim.mouse_down(200, 200);
        sim.cursor_key(cursor_direction::left, true);
        sim.set_pressure_units(true);
        sim.factor_selection_changed(5, factor_id::bag_o2);
        EXPECT_EQ(st().sim_time, sim_time_inside);
        EXPECT_FALSE(st().si_pressure);
        EXPECT_EQ(sim.selection().factor_sel[5], -1);
    };
    const step_outcome outcome = sim.controller().run_to_minute();
    if (outcome.failure.code() == 0) GTEST_SKIP() << "the model tolerated the inputs";
    // The warning comes once the clock stands back at the last second computed.
    EXPECT_EQ(sim_time_inside, 0);
    EXPECT_FALSE(sim.controller().busy());
}

TEST_F(RunControllerTest, ClinicalMessagesAreStampedWithUnwrappedMinutes)
{
    st().sim_time = 75 * 60 + 5;
    std::snprintf(app_buf, sizeof app_buf, "I am very short of breath. ");
    sim.controller().append_clinical();
    EXPECT_EQ(ui.clinical, "75:05 I am very short of breath. \r\n");
    EXPECT_EQ(app_buf[0], 0);
    sim.controller().append_clinical();
    EXPECT_EQ(ui.clinical, "75:05 I am very short of breath. \r\n");
}

TEST(HistorySlot, WrapsAlsoForNegativeTimes)
{
    const int cases[][2] = {{0, 0},     {1799, 1799}, {1800, 0},    {2000, 200},
                            {-1, 1799}, {-1800, 0},   {-3601, 1799}};
    for (const auto& c : cases) EXPECT_EQ(history_slot(c[0]), c[1]) << c[0];
}

TEST(PrepareRedraw, GridSpanAndCursorFollowTheWidth)
{
    run_state state;
    EXPECT_EQ(prepare_redraw(state, 1022), 0);
    EXPECT_EQ(state.grid_span, 660);
    state.sim_time = 1000;
    state.win_start = 100;
    EXPECT_EQ(prepare_redraw(state, 1022), 1000);
    EXPECT_EQ(state.cursor_time, 100 + 702);  // the trace ends at cw - 320
    state.credits_shown = true;
    prepare_redraw(state, 1022);
    EXPECT_EQ(state.cursor_time, 0);
    state.cursor_pinned = true;
    state.cursor_time = 300;
    EXPECT_EQ(prepare_redraw(state, 1022), 300);
    EXPECT_EQ(state.cursor_time, 300);
}

}  // namespace
