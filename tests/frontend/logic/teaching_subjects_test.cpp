// SPDX-License-Identifier: Apache-2.0
// The teaching subjects of subjects/: each loads without a complaint, starts
// settled, runs ten minutes without a step failure or a death, and shows the
// effect that README.md promises for it.
#include "fake_ui.h"
#include "simulator.h"
#include "subject_file.h"
#include "tolvane_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iterator>
#include <functional>
#include <ostream>
#include <string>

namespace {

// This file lives in tests/frontend/logic of the checkout.
const std::filesystem::path subjects_dir =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path() / "subjects";

struct teaching_case {
    const char* file;
    // The effect after ten minutes, as README.md describes it.
    std::function<void()> check;
};

void PrintTo(const teaching_case& c, std::ostream* os) { *os << c.file; }

float dsp(int i) { return display[i].value; }

class TeachingSubject : public ::testing::TestWithParam<teaching_case> {};

TEST_P(TeachingSubject, LoadsAndRunsTenMinutes)
{
    const std::filesystem::path file = subjects_dir / GetParam().file;
    ASSERT_TRUE(std::filesystem::exists(file)) << file;
    const QString path = QString::fromStdString(file.string());

    const subject_read_result read = read_subject_file(path);
    ASSERT_EQ(read.status.code(), subject_read_status::ok);
    EXPECT_EQ(read.corrected_indices, 0);

    fake_ui ui;
    simulator sim(ui);
    sim.start();
    ASSERT_EQ(sim.load_subject(path).status.code(), subject_read_status::ok);
    EXPECT_EQ(sim.subject_name(), path);
    for (int minute = 0; minute < 10; ++minute) sim.run_clicked();
    EXPECT_TRUE(ui.warnings.isEmpty()) << ui.warnings.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(sim.controller().subject_dead()) << ui.clinical.toStdString();
    EXPECT_EQ(sim.state().sim_time, 600);
    GetParam().check();
}

// Each subject was saved from a state settled with its own factors: in its
// first minute the blood and the breathing stay where they start (each of
// the variables below within a few per cent of its value at 0:00; the
// ventilation, which swings by some 5 % breath to breath, within 10 %), and the
// arterial PO2 never stands above the alveolar PO2. A subject saved from
// the standard subject's state jumped: severe anaemia read an arterial PO2
// of 3385 mm Hg at 0:01.
TEST_P(TeachingSubject, FirstMinuteStartsSettled)
{
    fake_ui ui;
    simulator sim(ui);
    sim.start();
    const QString path = QString::fromStdString((subjects_dir / GetParam().file).string());
    ASSERT_EQ(sim.load_subject(path).status.code(), subject_read_status::ok);
    struct watched {
        int display;
        float tolerance;  // relative
    };
    const watched variables[] = {
        {display_id::arterial_po2, 0.03f},   {display_id::arterial_saturation, 0.01f},
        {display_id::arterial_pco2, 0.03f},  {display_id::arterial_o2_content, 0.02f},
        {display_id::alveolar_po2, 0.03f},   {display_id::total_ventilation, 0.1f},
        {display_id::cardiac_output, 0.03f}, {display_id::venous_o2_content, 0.03f},
    };
    float start[std::size(variables)];
    for (std::size_t i = 0; i < std::size(variables); ++i) start[i] = dsp(variables[i].display);
    const step_outcome outcome = sim.controller().run_to_minute();
    ASSERT_EQ(outcome.seconds_done, 60);
    for (int t = 1; t <= 60; ++t) {
        for (std::size_t i = 0; i < std::size(variables); ++i) {
            const float value = history[variables[i].display][t];
            EXPECT_NEAR(value, start[i], variables[i].tolerance * std::fabs(start[i]))
                << display[variables[i].display].name << " at second " << t;
        }
        EXPECT_LE(history[display_id::arterial_po2][t], history[display_id::alveolar_po2][t] + 1.0f) << t;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Subjects, TeachingSubject,
    ::testing::Values(
        teaching_case{"altitude_450mmHg.sbj",
                      [] {
                          EXPECT_EQ(factor[factor_id::barometric_pressure].value, 450.0f);
                          EXPECT_LT(dsp(display_id::arterial_po2), 55.0f);         // arterial PO2
                          EXPECT_LT(dsp(display_id::arterial_saturation), 90.0f);  // saturation
                          EXPECT_LT(dsp(display_id::arterial_pco2), 35.0f);        // arterial PCO2 blown off
                          EXPECT_GT(dsp(display_id::total_ventilation), 7.5f);     // ventilation up
                          EXPECT_GT(dsp(display_id::arterial_ph), 7.44f);          // alkalosis
                      }},
        teaching_case{"severe_anaemia.sbj",
                      [] {
                          EXPECT_EQ(factor[factor_id::haemoglobin].value, 7.0f);
                          EXPECT_LT(dsp(display_id::arterial_o2_content),
                                    10.0f);                                  // arterial O2 content halved
                          EXPECT_GT(dsp(display_id::arterial_po2), 90.0f);   // PO2 normal
                          EXPECT_GT(dsp(display_id::cardiac_output), 9.0f);  // cardiac output doubled
                          EXPECT_GT(dsp(display_id::heart_rate), 85.0f);     // heart rate
                      }},
        teaching_case{"exercise_100W.sbj",
                      [] {
                          EXPECT_EQ(factor[factor_id::work_rate].value, 100.0f);
                          EXPECT_GT(dsp(display_id::metabolic_rate), 500.0f);        // metabolic rate
                          EXPECT_GT(dsp(display_id::total_ventilation), 25.0f);      // ventilation
                          EXPECT_GT(dsp(display_id::cardiac_output), 14.0f);         // cardiac output
                          EXPECT_GT(dsp(display_id::heart_rate), 110.0f);            // heart rate
                          EXPECT_NEAR(dsp(display_id::arterial_pco2), 40.0f, 2.0f);  // PCO2 held
                      }},
        teaching_case{"breathing_5pct_co2.sbj",
                      [] {
                          EXPECT_EQ(factor[factor_id::inspired_co2].value, 5.0f);
                          EXPECT_GT(dsp(display_id::arterial_pco2), 47.0f);  // arterial PCO2
                          EXPECT_LT(dsp(display_id::arterial_ph), 7.37f);    // acidosis
                          EXPECT_GT(dsp(display_id::total_ventilation),
                                    12.0f);  // ventilation more than doubled
                      }},
        teaching_case{"venous_admixture_30pct.sbj",
                      [] {
                          EXPECT_EQ(factor[factor_id::venous_admixture].value, 30.0f);
                          EXPECT_GT(dsp(display_id::alveolar_po2), 105.0f);  // alveolar PO2 high
                          EXPECT_LT(dsp(display_id::arterial_po2), 70.0f);   // arterial PO2 low
                          EXPECT_LT(dsp(display_id::arterial_pco2), 38.0f);  // PCO2 a little low
                      }}),
    [](const ::testing::TestParamInfo<teaching_case>& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.'));
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(TeachingSubjects, EveryFileInTheFolderIsCovered)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(subjects_dir))
        files += entry.path().extension() == ".sbj";
    EXPECT_EQ(files, 5);
}

}  // namespace
