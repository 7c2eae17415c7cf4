// Loading holds passport and factor values to their catalogue limits, as the
// panels do, and says which it moved; values within limits load unchanged.
#include "fake_ui.h"
#include "simulator.h"
#include "standard_subject_data.h"
#include "subject_limits.h"
#include "tolvane_model.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct clamp_case {
    const char* what;
    void (*change)(subject_data&);
    QString line;  // the one line describing the move; empty: nothing moves
    void (*check)(const subject_data&);
};

const clamp_case clamp_cases[] = {
    {"standard subject", [](subject_data&) {}, {}, [](const subject_data&) {}},
    {"weight 0", [](subject_data& d) { d.weight = 0; }, "weight 0.00 set to 20.00",
     [](const subject_data& d) { EXPECT_EQ(d.weight, 20.0f); }},
    {"height above", [](subject_data& d) { d.height = 250; }, "height 250.00 set to 200.00",
     [](const subject_data& d) { EXPECT_EQ(d.height, 200.0f); }},
    {"age at its limit",
     [](subject_data& d) { d.age = 100; },
     {},
     [](const subject_data& d) { EXPECT_EQ(d.age, 100.0f); }},
    {"inspired O2 below", [](subject_data& d) { d.factors[factor_id::inspired_o2] = -4; },
     "Inspired O2 percentage -4.00 set to 0.00",
     [](const subject_data& d) { EXPECT_EQ(d.factors[factor_id::inspired_o2], 0.0f); }},
    {"barometric pressure above", [](subject_data& d) { d.factors[factor_id::barometric_pressure] = 5000; },
     "Total barometric pressure, 5000.00 set to 3800.00",
     [](const subject_data& d) { EXPECT_EQ(d.factors[factor_id::barometric_pressure], 3800.0f); }},
};

class SubjectLimits : public ::testing::TestWithParam<clamp_case> {};

}  // namespace

TEST_P(SubjectLimits, ClampsToTheLimitAndNamesTheValue)
{
    subject_data data = standard_subject_data();
    GetParam().change(data);
    const std::vector<clamped_value> moved = clamp_subject_to_limits(data);
    if (GetParam().line.isEmpty()) {
        EXPECT_TRUE(moved.empty());
    } else {
        ASSERT_EQ(moved.size(), 1u);
        EXPECT_EQ(QString::fromStdString(describe_clamped_value(moved[0])), GetParam().line);
    }
    GetParam().check(data);
}

INSTANTIATE_TEST_SUITE_P(Cases, SubjectLimits, ::testing::ValuesIn(clamp_cases),
                         [](const auto& info) { return std::to_string(info.index); });

// While kPa is shown the catalogue holds kPa limits for the barometric
// pressure; a file holds mm Hg, so the mm Hg limits apply.
TEST(SubjectLimitsUnits, PressureInAFileIsJudgedInMillimetresOfMercury)
{
    estab_pnt();
    swap_pressure_units(true);
    subject_data data = standard_subject_data();
    data.factors[factor_id::barometric_pressure] = 3000;
    EXPECT_TRUE(clamp_subject_to_limits(data).empty());
    data.factors[factor_id::barometric_pressure] = 20;
    const std::vector<clamped_value> moved = clamp_subject_to_limits(data);
    swap_pressure_units(false);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].stored, factor[factor_id::barometric_pressure].minimum);
}

// Loading through the window's Load command: one information message listing
// every moved value; the subject then runs without a step failure.
TEST(SubjectLimitsLoad, WindowLoadSaysOnceWhatItClamped)
{
    fake_ui ui;
    simulator sim{ui};
    sim.start();
    const subject_data saved = standard_subject_data();
    QTemporaryDir dir;
    const QString good = dir.filePath("good.sbj"), bad = dir.filePath("bad.sbj");
    ASSERT_EQ(sim.save_subject(good).code(), save_status::ok);
    QFile in(good);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray text = in.readAll();
    const QByteArray passport = "    178.0  70.0  40.0  1";
    ASSERT_TRUE(text.contains(passport));
    text.replace(passport, "    300.0   0.0  40.0  1");
    QFile out(bad);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text);
    out.close();

    ui.open_answers.push_back(good);
    sim.load_clicked();
    EXPECT_TRUE(ui.informations.isEmpty());
    EXPECT_EQ(weight.value, 70.0f);

    ui.open_answers.push_back(bad);
    sim.load_clicked();
    ASSERT_EQ(ui.informations.size(), 1);
    EXPECT_EQ(ui.informations[0],
              "Values outside their limits were set to the nearest limit:\n"
              "height 300.00 set to 200.00\nweight 0.00 set to 20.00");
    EXPECT_EQ(weight.value, 20.0f);
    EXPECT_EQ(height.value, 200.0f);
    const step_outcome outcome = sim.controller().run_to_minute();
    EXPECT_EQ(outcome.failure.code(), 0);
    store_standard_subject(saved);
}
