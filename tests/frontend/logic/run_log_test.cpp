// SPDX-License-Identifier: Apache-2.0
// The full run log behind "Export data ..." and "Keep as reference": it
// follows the run past the 30 minutes the history holds, through RE-RUN and
// restarts, keeps its rows identical when they go to a temporary file, and
// writes exactly what tolvane-batch --csv writes.
#include "run_log.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

#include "history_csv.h"
#include "panel_logic.h"
#include "reference_run.h"
#include "tolvane_model.h"

namespace {

// A recognisable sample of display d at second t of run `run`.
float value_of(int run, int d, int t) { return static_cast<float>(run * 1000 + d + 0.25 * t); }

// The model's part of a step: the history holds seconds first..last of run `run`.
void record(int run, int first, int last)
{
    for (int t = first; t <= last; ++t)
        for (int d = 0; d < TOLVANE_HISTORY_ROWS; ++d) history[d][history_slot(t)] = value_of(run, d, t);
}

// Runs run `run` minute by minute from `from` to `to`, the log following.
void run_minutes(run_log& log, run_state& state, int run, int from, int to)
{
    for (int t = from; t < to; t += 60) {
        record(run, t + 1, t + 60);
        state.sim_time = t + 60;
        log.follow(state);
    }
}

QList<QByteArray> rows_of(const QByteArray& csv)
{
    QList<QByteArray> rows = csv.split('\n');
    rows.removeLast();  // after the last line break
    return rows;
}

class RunLog : public ::testing::TestWithParam<qint64> {
protected:
    void SetUp() override { std::memset(history, 0, sizeof history); }
    qint64 memory_limit() const { return GetParam(); }
};

TEST_P(RunLog, HoldsEverySecondSinceTheStartBeyondTheHistory)
{
    run_log log(memory_limit());
    run_state state;
    record(1, 0, 0);
    log.follow(state);
    run_minutes(log, state, 1, 0, 2400);  // 40 minutes: the history holds 30
    ASSERT_EQ(log.seconds(), 2401);
    for (int t : {0, 1, 599, 600, 2400})
        for (int d : {0, 15, logged_displays - 1}) EXPECT_EQ(log.sample(d, t), value_of(1, d, t)) << t;
    const QList<QByteArray> rows = rows_of(*log.csv_text());
    ASSERT_EQ(rows.size(), 2402);
    EXPECT_EQ(rows[0] + '\n', history_csv_header());
    EXPECT_TRUE(rows[1].startsWith("0,1000,1001,"));
    EXPECT_TRUE(rows[2401].startsWith("2400,1600,1601,")) << rows[2401].left(40).constData();
    EXPECT_EQ(log.spilled(), memory_limit() < 1000000);
}

TEST_P(RunLog, IsWhatTheBatchWriterWritesWhileTheHistoryHoldsIt)
{
    run_log log(memory_limit());
    run_state state;
    record(2, 0, 0);
    log.follow(state);
    run_minutes(log, state, 2, 0, 300);
    EXPECT_EQ(*log.csv_text(), history_csv_header() + history_csv_rows(state, 0, 300));
}

TEST_P(RunLog, ReRunDropsTheAbandonedSecondsAndRestartGoesBackToZero)
{
    run_log log(memory_limit());
    run_state state;
    record(1, 0, 0);
    log.follow(state);
    run_minutes(log, state, 1, 0, 600);
    // RE-RUN to 4:10, then a different future.
    state.sim_time = 250;
    log.follow(state);
    EXPECT_EQ(log.seconds(), 251);
    record(3, 251, 300);
    state.sim_time = 300;
    log.follow(state);
    EXPECT_EQ(log.sample(7, 250), value_of(1, 7, 250));
    EXPECT_EQ(log.sample(7, 251), value_of(3, 7, 251));
    QList<QByteArray> rows = rows_of(*log.csv_text());
    ASSERT_EQ(rows.size(), 302);
    EXPECT_TRUE(rows[251].startsWith("250,1062.5,"));
    EXPECT_TRUE(rows[252].startsWith("251,3062.75,"));
    // A load or RESET: time 0 of another subject replaces everything.
    record(4, 0, 0);
    state.sim_time = 0;
    log.follow(state);
    EXPECT_EQ(log.seconds(), 1);
    EXPECT_EQ(log.sample(0, 0), value_of(4, 0, 0));
    rows = rows_of(*log.csv_text());
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[1].startsWith("0,4000,"));
    EXPECT_TRUE(std::isnan(log.sample(0, 1)));
    EXPECT_TRUE(std::isnan(log.sample(logged_displays, 0)));
}

// 2 kB forces the temporary file at once; 8 MB keeps it all in memory.
INSTANTIATE_TEST_SUITE_P(MemoryAndTemporaryFile, RunLog,
                         ::testing::Values(2048, run_log::default_memory_limit));

// The temporary file has no name in the folder while the log uses it, so an
// exit without clean-up leaves nothing behind.
TEST(RunLogTemporaryFile, LeavesNoNameInTheTemporaryFolder)
{
    std::memset(history, 0, sizeof history);
    QTemporaryDir folder;
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(folder.path()));
    {
        run_log log(2048);
        run_state state;
        run_minutes(log, state, 1, 0, 300);
        ASSERT_TRUE(log.spilled());
        EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        run_log in_memory;
        run_state same;
        run_minutes(in_memory, same, 1, 0, 300);
        EXPECT_EQ(*log.csv_text(), *in_memory.csv_text());
    }
    qputenv("TMPDIR", saved);
}

TEST(RunLogUnits, RowsAndHeaderAreInMmHgWhileKpaIsShown)
{
    std::memset(history, 0, sizeof history);
    const QByteArray header_mmhg = history_csv_header();
    run_log log;
    run_state state;
    record(1, 0, 60);
    state.sim_time = 60;
    log.follow(state);
    const QByteArray mmhg = *log.csv_text();
    std::array<float, TOLVANE_NUM_FACTORS> before{};
    for (int i = 0; i < num_fct; ++i) before[static_cast<size_t>(i)] = factor[i].value;
    swap_pressure_units(true);
    state.si_pressure = true;
    std::array<float, TOLVANE_NUM_FACTORS> shown{};
    for (int i = 0; i < num_fct; ++i) shown[static_cast<size_t>(i)] = factor[i].value;
    EXPECT_NE(history_csv_header(), header_mmhg);  // the catalogue now holds kPa
    EXPECT_EQ(history_csv_header_in_mmhg(), header_mmhg);
    EXPECT_EQ(*log.csv_text(), mmhg);
    // The header leaves the shown factor values exactly as they were.
    for (int i = 0; i < num_fct; ++i)
        EXPECT_EQ(std::memcmp(&factor[i].value, &shown[static_cast<size_t>(i)], sizeof(float)), 0) << i;
    EXPECT_TRUE(listed_factors_in_kpa());
    // A reference gives the values in the units shown, as the history does.
    const reference_run reference = reference_from(log, QString());
    for (int d : {0, 15})
        EXPECT_EQ(reference.value(state, d, 30), history_value(state, d, history_slot(30))) << d;
    swap_pressure_units(false);
    for (int i = 0; i < num_fct; ++i) factor[i].value = before[static_cast<size_t>(i)];
}

TEST(ReferenceRun, CopiesTheWholeLogUnderTheSubjectsName)
{
    std::memset(history, 0, sizeof history);
    run_log log;
    run_state state;
    record(5, 0, 120);
    state.sim_time = 120;
    log.follow(state);
    const reference_run reference = reference_from(log, QStringLiteral("/data/class/altitude.sbj"));
    EXPECT_EQ(reference.seconds, 121);
    EXPECT_TRUE(reference.holds(120));
    EXPECT_FALSE(reference.holds(121));
    EXPECT_FALSE(reference.holds(-1));
    EXPECT_EQ(reference.value(state, 3, 100), value_of(5, 3, 100));
    EXPECT_EQ(reference.value(state, 3, 121), 0.0);
    EXPECT_EQ(reference_title(reference), QStringLiteral("altitude.sbj"));
    EXPECT_EQ(reference_title(reference_from(log, QString())), QStringLiteral("standard subject"));
    // The log goes on; the reference does not.
    record(6, 121, 180);
    state.sim_time = 180;
    log.follow(state);
    EXPECT_EQ(reference.seconds, 121);
}

}  // namespace
