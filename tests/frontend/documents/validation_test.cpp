// SPDX-License-Identifier: Apache-2.0
// Validation: verdict rules, the case table's errors, the measures, and the
// real cases giving one report row each.
#include "result_text.h"
#include "simulator.h"
#include "validation.h"
#include "validation_sweeps.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cmath>

namespace {

QString source_folder(const char* name)
{
    // This file lives in tests/frontend/documents of the checkout.
    return QFileInfo(QString::fromUtf8(__FILE__))
        .dir()
        .filePath(QStringLiteral("../../../%1").arg(QLatin1String(name)));
}

struct verdict_case {
    double value, low, high;
    bool directional;
    verdict expected;
    double difference;
};

TEST(Validation, VerdictsAndDifferences)
{
    const verdict_case cases[] = {
        {100, 90, 110, false, verdict::within_10, 0},   // inside a range
        {121, 90, 110, false, verdict::within_10, 10},  // relative to the nearer end, 10 % inclusive
        {122, 90, 110, false, verdict::within_30, 10.909090909090908},
        {81, 90, 110, false, verdict::within_10, -10},
        {6.0, 6.5, 6.5, false, verdict::within_10, -7.692307692307692},
        {9.05, 14.9, 14.9, false, verdict::beyond_30, -39.26174496644295},
        {11.5, 10, 10, false, verdict::within_30, 15},
        {-10, 20, 50, true, verdict::wrong_direction, -150},  // a fall where a rise is published
        {0, 1.3, 1.3, true, verdict::wrong_direction, -100},
        {-45, -45.9, -45.9, true, verdict::within_10, 1.9607843137254901},
        {35, 20, 50, true, verdict::within_10, 0},
    };
    for (const verdict_case& c : cases) {
        EXPECT_EQ(judge(c.value, c.low, c.high, c.directional), c.expected) << c.value;
        const std::optional<double> d = difference_percent(c.value, c.low, c.high);
        ASSERT_TRUE(d.has_value());
        EXPECT_NEAR(*d, c.difference, 1e-9) << c.value;
    }
    EXPECT_EQ(judge(std::nullopt, 1, 2, false), verdict::no_value);
    EXPECT_FALSE(difference_percent(1, 0, 0).has_value());  // no per cent of 0
    EXPECT_EQ(judge(1, 0, 0, false), verdict::beyond_30);
}

TEST(Validation, ReportNumbersHaveThreeSignificantDigits)
{
    EXPECT_EQ(report_number(93.18), "93.2");
    EXPECT_EQ(report_number(0.2497), "0.250");
    EXPECT_EQ(report_number(154.25), "154");
    EXPECT_EQ(report_number(-45.31), "-45.3");
    EXPECT_EQ(report_number(0), "0");
    EXPECT_EQ(report_number(-0.0001), "-0.000100");
}

TEST(Validation, CaseTableErrorsNameTheLine)
{
    const QString header = "group\tscript\tmeasure\tquantity\tunit\tpublished\tlow\thigh\tsource\n";
    validation_cases ok = parse_validation_cases(
        "# comment\n" + header + "Rest\trest.txt\tD15\tPaO2\tmm Hg\t90-110\t90\t110\tBTS\n\n", "c.tsv");
    ASSERT_TRUE(ok.status.ok()) << ok.status.message();
    ASSERT_EQ(ok.cases.size(), 1u);
    EXPECT_EQ(ok.cases[0].line, 3);
    EXPECT_EQ(ok.cases[0].low, 90);

    const std::pair<const char*, const char*> bad[] = {
        {"Rest\trest.txt\tD15\n", "c.tsv:2: 3 fields, 9 expected"},
        {"Rest\trest.txt\tD15\tPaO2\tmm Hg\t90-110\tx\t110\tBTS\n", "c.tsv:2: low and high must be numbers"},
        {"Rest\trest.txt\tD15\tPaO2\tmm Hg\t90-110\t110\t90\tBTS\n",
         "c.tsv:2: low and high must be numbers, low <= high"},
    };
    for (const auto& [row, message] : bad) {
        const validation_cases parsed = parse_validation_cases(header + QString::fromUtf8(row), "c.tsv");
        EXPECT_TRUE(message_text(parsed.status).startsWith(QString::fromUtf8(message)))
            << parsed.status.message();
        EXPECT_TRUE(parsed.cases.empty());
    }
}

class ValidationRun : public ::testing::Test {
protected:
    void SetUp() override { sim.start(); }
    quiet_ui ui;
    simulator sim{ui};
    validation_runner runner{sim, ui, source_folder("validation")};
};

TEST_F(ValidationRun, MeasuresOfAShortRun)
{
    const validation_run run = runner.run_text("run until 3:00\n", "rest");
    ASSERT_EQ(run.result.status.code(), script_end::finished);
    // O2 uptake from o2_uptake_per_step: the resting 240-250 ml/min.
    const measured vo2 = validation_runner::simple_measure(run, "VO2");
    ASSERT_TRUE(vo2.value.has_value());
    EXPECT_NEAR(*vo2.value, 0.25, 0.02);
    const measured ph = validation_runner::simple_measure(run, "arterial_ph");
    const measured h = validation_runner::simple_measure(run, "H");
    ASSERT_TRUE(ph.value && h.value);
    EXPECT_NEAR(*h.value, std::pow(10.0, 9 - *ph.value), 0.05);
    // A display's short name and its index measure the same row.
    const measured ph_by_index = validation_runner::simple_measure(run, "D17");
    ASSERT_TRUE(ph_by_index.value.has_value());
    EXPECT_EQ(*ph_by_index.value, *ph.value);
    EXPECT_FALSE(validation_runner::simple_measure(run, "D99").value.has_value());
    EXPECT_FALSE(validation_runner::simple_measure(run, "X1").value.has_value());
    EXPECT_FALSE(validation_runner::simple_measure(run, "inspired_o2").value.has_value());  // a factor
    EXPECT_FALSE(validation_runner::simple_measure(run, "Arterial_pH").value.has_value());  // names are exact

    // A run that ends early gives no steady value, and says why.
    const validation_run dead = runner.run_text("at 0:00 set 8 0\nrun until 20:00\n", "dead");
    ASSERT_EQ(dead.result.status.code(), script_end::died);
    const measured none = validation_runner::simple_measure(dead, "total_ventilation");
    EXPECT_FALSE(none.value.has_value());
    EXPECT_TRUE(none.why_not.startsWith("the subject died at ")) << none.why_not.toStdString();
    // No end-expiratory lung volume ends the step at once, with its item.
    const validation_run failed = runner.run_text("at 2:00 set 19 0\nrun until 5:00\n", "failed");
    ASSERT_EQ(failed.result.status.code(), script_end::step_failed);
    EXPECT_EQ(validation_runner::simple_measure(failed, "total_ventilation").why_not,
              "the model step failed at 02:01 (item 7)");

    // A script error is reported, nothing runs.
    const validation_run bad = runner.run_text("at 1:30 set 15 5\n", "bad");
    EXPECT_TRUE(message_text(bad.parsed).startsWith("bad:1: ")) << bad.parsed.message();
}

TEST_F(ValidationRun, BreathHoldMessagesAndComplaintsAreTimedFromTheHold)
{
    const measured any = runner.measure("breath_hold.txt", "message_after(2:00)");
    const measured own = runner.measure("breath_hold.txt", "complaint_after(2:00)");
    ASSERT_TRUE(any.value && own.value) << any.why_not.toStdString() << own.why_not.toStdString();
    EXPECT_GT(*any.value, 0);
    EXPECT_GE(*own.value, *any.value);
    const validation_run& run = runner.run_file("breath_hold.txt");
    // Every message of the memo is stamped; the first after 2:00 is at 2:00 + any.
    const int first = 120 + static_cast<int>(*any.value);
    EXPECT_TRUE(run.memo.contains(QStringLiteral("%1:%2 ")
                                      .arg(first / 60, 2, 10, QLatin1Char('0'))
                                      .arg(first % 60, 2, 10, QLatin1Char('0'))));
}

TEST_F(ValidationRun, EveryCaseGivesOneRowAndTheCommittedReportHasIt)
{
    const validation_cases table = read_validation_cases(source_folder("validation/cases.tsv"));
    ASSERT_TRUE(table.status.ok()) << table.status.message();
    ASSERT_GE(table.cases.size(), 30u);
    const std::vector<validation_row> rows = evaluate_cases(runner, table.cases);
    ASSERT_EQ(rows.size(), table.cases.size());
    for (const validation_row& row : rows) {
        // A value, or the reason there is none; never an unknown measure or script.
        EXPECT_TRUE(row.model.value || !row.model.why_not.isEmpty()) << row.c.line;
        EXPECT_FALSE(row.model.why_not.startsWith("unknown")) << row.c.line;
        EXPECT_FALSE(row.model.why_not.contains("cannot read")) << row.c.line;
    }
    const QString md = validation_markdown(rows, {}, {});
    EXPECT_EQ(md.count(QStringLiteral("\n| ")), static_cast<qsizetype>(rows.size()) + 1);  // header + rows
}

}  // namespace

// The figure sweeps file: the committed one reads whole, scripts take x,
// and a faulty line is named.
TEST(ValidationSweeps, TheCommittedFiguresAndTheirScripts)
{
    const sweep_figures sweeps = read_sweep_figures(source_folder("validation/figures.tsv"));
    ASSERT_TRUE(sweeps.status.ok()) << sweeps.status.message();
    ASSERT_EQ(sweeps.figures.size(), 4u);
    const std::vector<std::pair<QString, size_t>> expected = {
        {"co2_ventilation.png", 1}, {"exercise.png", 3}, {"altitude.png", 3}, {"anaemia.png", 2}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(sweeps.figures[i].figure.file, expected[i].first);
        EXPECT_EQ(sweeps.figures[i].panels.size(), expected[i].second);
        EXPECT_FALSE(sweeps.figures[i].figure.caption.isEmpty());
    }
    const sweep_figure& co2 = sweeps.figures[0];
    EXPECT_EQ(co2.xs().size(), 15u);  // 0 to 7 by 0.5
    EXPECT_EQ(co2.script(0.5), "at 0:00 set inspired_co2 0.5\nrun until 25:00\n");
    EXPECT_EQ(co2.panels[0].measure, "total_ventilation");
    ASSERT_EQ(co2.panels[0].chart.points.size(), 3u);
    EXPECT_EQ(co2.panels[0].chart.points[0].y_low, 8.8 - 1.1);
    const sweep_figure& anaemia = sweeps.figures[3];
    EXPECT_EQ(anaemia.script(10),
              "at 0:00 set haemoglobin 10\nat 0:00 set packed_cell_volume 30.4\nrun until 30:00\n");
    EXPECT_EQ(anaemia.panels[1].chart.published_line[1].second, 1.34 * 16 * 0.97 + 0.003 * 95);
    const sweep_figure& altitude = sweeps.figures[2];
    EXPECT_EQ(altitude.script(660),
              "at 0:00 set barometric_pressure 710\nat 1:00 set barometric_pressure 660\nrun until 31:00\n");
    EXPECT_TRUE(altitude.panels[0].chart.x_reversed && altitude.panels[0].chart.legend_right);
    EXPECT_TRUE(altitude.panels[1].chart.legend_bottom && !altitude.panels[1].chart.legend_right);
}

TEST(ValidationSweeps, FaultyLinesAreNamed)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"title\tx\n", "f:1: \"title\" before the first figure"},
        {"figure\ta.png\nscript\trun until 1:00\ntitle\tx\n", "f:3: \"title\" before the first panel"},
        {"figure\ta.png\nsweep\t0\t1\n", "f:2: sweep needs FROM TO STEP"},
        {"figure\ta.png\nscript\tx\npanel\npoint\t1\n", "f:4: point needs X Y [SD]"},
        {"figure\ta.png\nscript\tx\npanel\ncolour\tred\n", "f:4: unknown key \"colour\""},
        {"figure\ta.png\npanel\n", "f: figure a.png needs a script and a panel"},
    };
    for (const auto& [text, error] : cases) {
        const sweep_figures sweeps = parse_sweep_figures(text, "f");
        EXPECT_EQ(message_text(sweeps.status), error) << text.toStdString();
        EXPECT_TRUE(sweeps.figures.empty());
    }
}
