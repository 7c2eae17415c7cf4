// SPDX-License-Identifier: Apache-2.0
// Writes the teaching subjects of subjects/ with the program's own subject
// writer: the standard subject with a few factors changed, run with them
// until it has settled, and the factor and display rows chosen to show what
// the change does. Run once by hand from the checkout; it is built with the
// project:
//   build/bin/teaching_subjects
#include "run_session.h"
#include "slot_ids.h"
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

const std::vector<teaching_subject> subjects = {
    {"subjects/altitude_450mmHg.sbj",
     {{factor_id::barometric_pressure, 450}},
     {factor_id::barometric_pressure, factor_id::inspired_o2, factor_id::inspired_co2,
      factor_id::body_temperature, factor_id::work_rate, -1, -1, -1},
     {display_id::alveolar_po2, display_id::arterial_po2, display_id::arterial_saturation,
      display_id::arterial_pco2, display_id::total_ventilation, display_id::arterial_ph,
      display_id::heart_rate, display_id::tissue_po2}},
    {"subjects/severe_anaemia.sbj",
     {{factor_id::haemoglobin, 7}, {factor_id::packed_cell_volume, 21}},
     {factor_id::haemoglobin, factor_id::packed_cell_volume, factor_id::inspired_o2, factor_id::inspired_co2,
      factor_id::work_rate, -1, -1, -1},
     {display_id::arterial_o2_content, display_id::venous_o2_content, display_id::arterial_po2,
      display_id::arterial_saturation, display_id::cardiac_output, display_id::heart_rate,
      display_id::tissue_po2, display_id::arterial_lactate}},
    {"subjects/exercise_100W.sbj",
     {{factor_id::work_rate, 100}},
     {factor_id::work_rate, factor_id::inspired_o2, factor_id::inspired_co2, factor_id::body_temperature,
      factor_id::haemoglobin, -1, -1, -1},
     {display_id::metabolic_rate, display_id::total_ventilation, display_id::cardiac_output,
      display_id::heart_rate, display_id::arterial_po2, display_id::arterial_pco2,
      display_id::arterial_lactate, display_id::venous_o2_content}},
    {"subjects/breathing_5pct_co2.sbj",
     {{factor_id::inspired_co2, 5}},
     {factor_id::inspired_co2, factor_id::inspired_o2, factor_id::barometric_pressure,
      factor_id::body_temperature, factor_id::work_rate, -1, -1, -1},
     {display_id::alveolar_pco2, display_id::arterial_pco2, display_id::arterial_ph, display_id::brain_ph,
      display_id::total_ventilation, display_id::respiratory_rate, display_id::tidal_volume,
      display_id::arterial_po2}},
    {"subjects/venous_admixture_30pct.sbj",
     {{factor_id::venous_admixture, 30}},
     {factor_id::venous_admixture, factor_id::inspired_o2, factor_id::inspired_co2,
      factor_id::right_to_left_shunt, factor_id::work_rate, -1, -1, -1},
     {display_id::total_venous_admixture, display_id::alveolar_po2, display_id::arterial_po2,
      display_id::arterial_saturation, display_id::arterial_pco2, display_id::alveolar_pco2,
      display_id::total_ventilation, display_id::arterial_o2_content}},
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
