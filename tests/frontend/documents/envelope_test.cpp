// SPDX-License-Identifier: Apache-2.0
// The teaching envelope: its cases cover every factor's range and the
// teaching values, and a run's outcome is named as the report shows it.
#include "envelope.h"
#include "simulator.h"
#include "tolvane_model.h"
#include "validation.h"

#include <QDir>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

// The values set for factor index, as the script texts name them.
std::set<QString> values_of(const std::vector<envelope_case>& cases, int index)
{
    std::set<QString> values;
    const QString prefix = QStringLiteral("at 2:00 set %1 ").arg(index);
    for (const envelope_case& c : cases) {
        const QString first = c.script.section(QLatin1Char('\n'), 0, 0);
        if (first.startsWith(prefix) && !c.script.contains(QLatin1String("17:00")))
            values.insert(first.mid(prefix.size()));
    }
    return values;
}

}  // namespace

TEST(Envelope, CasesCoverEveryFactorRangeAndTheTeachingValues)
{
    const std::vector<envelope_case> cases = envelope_cases();
    for (int i = 0; i < num_fct; ++i) {
        const std::set<QString> values = values_of(cases, i);
        EXPECT_GE(values.size(), 7u) << i;
        EXPECT_TRUE(values.count(QString::number(factor[i].minimum))) << i;
        EXPECT_TRUE(values.count(QString::number(factor[i].maximum))) << i;
    }
    const std::map<int, std::vector<const char*>> teaching = {
        {16, {"5", "100"}}, {15, {"0", "10"}}, {25, {"253", "3800"}}, {5, {"33", "41"}},
        {12, {"5", "20"}},  {26, {"0", "50"}}, {8, {"10", "200"}},
    };
    for (const auto& [index, needed] : teaching)
        for (const char* v : needed)
            EXPECT_TRUE(values_of(cases, index).count(QLatin1String(v))) << index << " " << v;
    int work_rows = 0, sudden_rows = 0;
    for (const envelope_case& c : cases) {
        if (c.section.startsWith(QLatin1String("Work rate"))) ++work_rows;
        if (c.script.contains(QLatin1String("at 17:00 set 25 760"))) ++sudden_rows;
    }
    EXPECT_EQ(work_rows, 26);  // 0 to 250 W in 10 W steps
    EXPECT_GE(sudden_rows, 8);
}

TEST(Envelope, DeathCauseIsNamedFromTheClinicalMemo)
{
    EXPECT_EQ(death_cause(QStringLiteral("13:00 I'm sorry, your patient has died. Anoxaemia has been severe "
                                         "and irrecoverable. ")),
              "anoxaemia");
    EXPECT_EQ(death_cause(QStringLiteral("Tissue pH has fallen to a lethally low level.")),
              "tissue pH too low");
    EXPECT_EQ(death_cause(QStringLiteral("... I\tcan't go on...")), "exhausted by the work");
    EXPECT_EQ(death_cause(QStringLiteral("Your patient is blue.")), "");
}

// A case that ends the step at once (no end-expiratory lung volume) is a
// step failure with its item and time; a plain case is alive with values.
TEST(Envelope, OutcomesOfARunAreNamedAsTheReportShowsThem)
{
    quiet_ui ui;
    simulator sim(ui);
    sim.start();
    validation_runner runner(sim, ui, QDir::tempPath());
    const envelope_row failed = run_envelope_case(
        runner,
        {QStringLiteral("s"), QStringLiteral("0"), QStringLiteral("at 2:00 set 19 0\nrun until 32:00\n")});
    EXPECT_TRUE(failed.step_failure);
    EXPECT_EQ(failed.outcome, "step failure item 7 at 02:01");
    const envelope_row alive = run_envelope_case(
        runner,
        {QStringLiteral("s"), QStringLiteral("12"), QStringLiteral("at 2:00 set 16 12\nrun until 12:00\n")});
    EXPECT_EQ(alive.outcome, "alive");
    ASSERT_TRUE(alive.end.has_value());
    EXPECT_LT(alive.end->arterial_po2, 60);
    EXPECT_GT(alive.end->ventilation, 7);
    const QString md = envelope_markdown({failed, alive}, QStringLiteral("notes\n"));
    EXPECT_TRUE(md.contains(QLatin1String("2 cases: 1 step failures, 0 deaths.")));
    EXPECT_TRUE(md.contains(QLatin1String("| 0 | step failure item 7 at 02:01 |")));
    EXPECT_TRUE(md.endsWith(QLatin1String("\nnotes\n")));
}
