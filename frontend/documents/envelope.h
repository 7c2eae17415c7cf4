// SPDX-License-Identifier: Apache-2.0
// The teaching envelope: where the model can be trusted. Each case is a
// change made at 2:00 on the standard subject (every factor over its range,
// the teaching values, work rates, sudden pressure changes and back), run to
// 32:00 through the validation runner; the report (docs/envelope.md) gives
// each case's outcome, the range of the arterial PO2 and saturation in the
// first minute after the change, and the arterial gases, ventilation and
// heart rate at its end.
#ifndef TOLVANE_ENVELOPE_H
#define TOLVANE_ENVELOPE_H

#include <QString>
#include <optional>
#include <vector>

class validation_runner;

// One case: the section of the report it belongs to, what was changed as the
// table shows it, and the scenario script that makes the change.
struct envelope_case {
    QString section;
    QString change;
    QString script;
};

// Every case of the report, in report order.
std::vector<envelope_case> envelope_cases();

// The values at the end of a run.
struct envelope_values {
    double arterial_po2 = 0, arterial_pco2 = 0, arterial_ph = 0, ventilation = 0, heart_rate = 0;
};

// The lowest and highest arterial PO2 (mm Hg) and saturation (%) of the
// first 60 s after the change at 2:00: a jump of the blood at the change.
struct envelope_start {
    double lowest_po2 = 0, highest_po2 = 0, lowest_saturation = 0, highest_saturation = 0;
};

// One evaluated case.
struct envelope_row {
    envelope_case c;
    QString outcome;  // "alive", "died at mm:ss: cause", "step failure item N at mm:ss"
    bool step_failure = false;
    QString adjusted;                     // what the controls adjusted (a value beyond its limits), or empty
    std::optional<envelope_values> end;   // none when the run recorded nothing
    std::optional<envelope_start> start;  // none when the run recorded no second after 2:00
};

envelope_row run_envelope_case(validation_runner& runner, const envelope_case& c);

// The cause of death named in a clinical memo, in a few words; empty if none.
QString death_cause(const QString& memo);

// The report in Markdown; notes (Markdown) are appended as they stand.
QString envelope_markdown(const std::vector<envelope_row>& rows, const QString& notes);

#endif
