// SPDX-License-Identifier: Apache-2.0
// Writes the teaching subjects of subjects/ with the program's own subject
// writer: the standard subject with a few factors changed, run with them
// until it has settled, and the factor and display rows chosen to show what
// the change does. Run once by hand from the checkout; it is built with the
// project:
//   build/bin/teaching_subjects
#include "run_session.h"
#include "subject_file.h"

#include <QCoreApplication>
#include <QString>

#include <array>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

struct teaching_subject {
    const char* path;
    std::vector<std::pair<int, float>> factors;  // catalogue index, value
    std::array<int, panel_rows> factor_rows;
    std::array<int, panel_rows> display_rows;
};

// Display catalogue indices used below.
enum : int {
    alveolar_pco2 = 1,
    alveolar_po2 = 4,
    arterial_pco2 = 10,
    arterial_lactate = 11,
    arterial_o2_content = 14,
    arterial_po2 = 15,
    arterial_saturation = 16,
    arterial_ph = 17,
    brain_ph = 31,
    cardiac_output = 32,
    heart_rate = 35,
    metabolic_rate = 36,
    respiratory_rate = 40,
    tidal_volume = 41,
    tissue_po2 = 53,
    total_ventilation = 55,
    venous_admixture = 56,
    venous_o2_content = 62,
};

const std::vector<teaching_subject> subjects = {
    {"subjects/altitude_450mmHg.sbj",
     {{25, 450}},
     {25, 16, 15, 5, 31, -1, -1, -1},
     {alveolar_po2, arterial_po2, arterial_saturation, arterial_pco2, total_ventilation, arterial_ph,
      heart_rate, tissue_po2}},
    {"subjects/severe_anaemia.sbj",
     {{12, 7}, {21, 21}},
     {12, 21, 16, 15, 31, -1, -1, -1},
     {arterial_o2_content, venous_o2_content, arterial_po2, arterial_saturation, cardiac_output, heart_rate,
      tissue_po2, arterial_lactate}},
    {"subjects/exercise_100W.sbj",
     {{31, 100}},
     {31, 16, 15, 5, 12, -1, -1, -1},
     {metabolic_rate, total_ventilation, cardiac_output, heart_rate, arterial_po2, arterial_pco2,
      arterial_lactate, venous_o2_content}},
    {"subjects/breathing_5pct_co2.sbj",
     {{15, 5}},
     {15, 16, 25, 5, 31, -1, -1, -1},
     {alveolar_pco2, arterial_pco2, arterial_ph, brain_ph, total_ventilation, respiratory_rate, tidal_volume,
      arterial_po2}},
    {"subjects/venous_admixture_30pct.sbj",
     {{26, 30}},
     {26, 16, 15, 10, 31, -1, -1, -1},
     {venous_admixture, alveolar_po2, arterial_po2, arterial_saturation, arterial_pco2, alveolar_pco2,
      total_ventilation, arterial_o2_content}},
};

// Minutes a subject runs with its own factors before it is saved: it then
// starts settled, and its first minute shows no jump from blood and gas made
// with other factors.
constexpr int settling_minutes = 60;

// Runs the session's subject settling_minutes; false when a step failed or
// the subject died.
bool settle(run_session& session)
{
    for (int minute = 0; minute < settling_minutes; ++minute) {
        const step_outcome step = session.run_to_minute();
        if (!step.failure.ok() || step.died) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failures = 0;
    for (const teaching_subject& s : subjects) {
        run_session session;
        for (const auto& [index, value] : s.factors) session.set_factor(index, value);
        if (!settle(session)) {
            std::fprintf(stderr, "teaching_subjects: %s does not settle\n", s.path);
            ++failures;
            continue;
        }
        session.selection().factor_sel = s.factor_rows;
        session.selection().display_sel = s.display_rows;
        const std::string text = session.subject_text(s.path, subject_date_time_now().toStdString());
        if (!write_subject_file(std::string(s.path), text).ok()) {
            std::fprintf(stderr, "teaching_subjects: cannot write %s\n", s.path);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
