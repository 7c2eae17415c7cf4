// SPDX-License-Identifier: Apache-2.0
#include "envelope.h"

#include "catalogue_view.h"
#include "cp1252.h"
#include "pressure_units.h"
#include "result_text.h"
#include "slot_ids.h"
#include "validation.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

// A factor value as the scripts and the table show it: at most two
// decimals, no trailing zeros.
QString value_text(double v)
{
    QString text = QString::number(v, 'f', 2);
    while (text.contains(QLatin1Char('.')) &&
           (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text;
}

QString set_at_two(int index, double value)
{
    return QStringLiteral("at 2:00 set %1 %2\nrun until 32:00\n").arg(index).arg(value_text(value));
}

// Values a teacher uses, beyond the seven spread over each factor's range.
std::vector<double> teaching_values(int index)
{
    switch (index) {
    case factor_id::body_temperature:
        return {33, 35, 37, 39, 41};
    case factor_id::cardiac_performance:
        return {10, 25, 50, 100, 150, 200};
    case factor_id::haemoglobin:
        return {5, 7, 10, 15, 20};
    case factor_id::inspired_co2:
        return {0, 2, 4, 6, 8, 10};
    case factor_id::inspired_o2:
        return {5, 10, 15, 20.93, 30, 50, 100};
    case factor_id::barometric_pressure:
        return {253, 300, 350, 400, 450, 500, 600, 760, 1520, 2280, 3040, 3800};
    case factor_id::venous_admixture:
        return {0, 10, 20, 30, 50};
    default:
        return {};
    }
}

// The factor's name without the catalogue's trailing comma or blank.
QString factor_name(int index)
{
    QString name = from_cp1252(factor_records()[static_cast<size_t>(index)].name).trimmed();
    if (name.endsWith(QLatin1Char(','))) name.chop(1);
    return name;
}

QString number(double v, int decimals) { return QString::number(v, 'f', decimals); }

// Every case makes its change at 2:00.
constexpr int change_time = 120;

}  // namespace

std::vector<envelope_case> envelope_cases()
{
    std::vector<envelope_case> cases;
    const std::span<const catalogue_record> factors = factor_records();
    for (int i = 0; static_cast<size_t>(i) < factors.size(); ++i) {
        const catalogue_record& record = factors[static_cast<size_t>(i)];
        const double low = record.minimum, high = record.maximum;
        std::set<double> values;
        for (int k = 0; k <= 6; ++k) values.insert(value_text(low + (high - low) * k / 6).toDouble());
        for (double v : teaching_values(i)) values.insert(v);
        const QString section = QStringLiteral("%1 (factor %2, %3 .. %4 %5)")
                                    .arg(factor_name(i))
                                    .arg(i)
                                    .arg(value_text(low), value_text(high), from_cp1252(record.unit));
        for (double v : values) cases.push_back({section, value_text(v), set_at_two(i, v)});
    }
    const QString work = QStringLiteral("Work rate, 0 to 250 W");
    for (int w = 0; w <= 250; w += 10)
        cases.push_back({work, QStringLiteral("%1 W").arg(w), set_at_two(factor_id::work_rate, w)});
    const QString sudden =
        QStringLiteral("Sudden pressure changes: 760 mm Hg to P at 2:00, back to 760 at 17:00");
    for (double p : {253.0, 300.0, 400.0, 500.0, 600.0, 1000.0, 1520.0, 2280.0, 3040.0, 3800.0})
        cases.push_back({sudden, QStringLiteral("P = %1 mm Hg").arg(value_text(p)),
                         QStringLiteral("at 2:00 set %1 %2\nat 17:00 set %1 760\nrun until 32:00\n")
                             .arg(factor_id::barometric_pressure)
                             .arg(value_text(p))});
    return cases;
}

QString death_cause(const QString& memo)
{
    static const std::pair<const char*, const char*> causes[] = {
        {"Anoxaemia has been severe and irrecoverable.", "anoxaemia"},
        {"Tissue pH has fallen to a lethally low level.", "tissue pH too low"},
        {"Tissue pH has risen to a lethally high level.", "tissue pH too high"},
        {"The brain is irrecoverably full of gas bubbles.", "gas bubbles in the brain"},
        {"can't go on...", "exhausted by the work"},
    };
    for (const auto& [sentence, words] : causes)
        if (memo.contains(QLatin1String(sentence))) return QLatin1String(words);
    return {};
}

envelope_row run_envelope_case(validation_runner& runner, const envelope_case& c)
{
    envelope_row row;
    row.c = c;
    const validation_run run = runner.run_text(c.script, QStringLiteral("envelope"));
    if (!run.parsed.ok()) {
        row.outcome = message_text(run.parsed);
        return row;
    }
    const QString at = format_minutes_seconds(run.result.end_time);
    switch (run.result.status.code()) {
    case script_end::finished:
        row.outcome = QStringLiteral("alive");
        break;
    case script_end::died: {
        const QString cause = death_cause(run.memo);
        row.outcome = QStringLiteral("died at %1").arg(at) +
                      (cause.isEmpty() ? QString() : QStringLiteral(": ") + cause);
        break;
    }
    case script_end::step_failed:
        row.outcome = QStringLiteral("step failure item %1 at %2")
                          .arg(run.result.failure_item)
                          .arg(format_minutes_seconds(run.result.failed_time));
        row.step_failure = true;
        break;
    case script_end::refused:
    case script_end::load_failed:
        row.outcome = message_text(run.result.status);
        break;
    }
    if (!run.result.notes.isEmpty()) row.adjusted = run.result.notes.first().section(QStringLiteral(": "), 1);
    const script_timeline& timeline = run.result.timeline;
    const int t = timeline.last_time();
    if (t >= 0) {
        auto value = [&](int d) { return static_cast<double>(timeline.value(d, t)); };
        row.end = envelope_values{value(display_id::arterial_po2), value(display_id::arterial_pco2),
                                  value(display_id::arterial_ph), value(display_id::total_ventilation),
                                  value(display_id::heart_rate)};
    }
    if (t > change_time) {
        envelope_start start;
        start.lowest_po2 = start.lowest_saturation = HUGE_VAL;
        start.highest_po2 = start.highest_saturation = -HUGE_VAL;
        for (int s = change_time + 1; s <= std::min(t, change_time + 60); ++s) {
            const double po2 = timeline.value(display_id::arterial_po2, s);
            const double saturation = timeline.value(display_id::arterial_saturation, s);
            start.lowest_po2 = std::min(start.lowest_po2, po2);
            start.highest_po2 = std::max(start.highest_po2, po2);
            start.lowest_saturation = std::min(start.lowest_saturation, saturation);
            start.highest_saturation = std::max(start.highest_saturation, saturation);
        }
        row.start = start;
    }
    return row;
}

QString envelope_markdown(const std::vector<envelope_row>& rows, const QString& notes)
{
    int failures = 0, deaths = 0;
    for (const envelope_row& r : rows) {
        if (r.step_failure) ++failures;
        if (r.outcome.startsWith(QLatin1String("died"))) ++deaths;
    }
    QString md;
    md += QStringLiteral("# Where the model holds: the teaching envelope\n\n");
    md += QStringLiteral(
        "Generated by `tolvane-envelope` (run `tolvane-envelope validation docs/envelope.md`); a test fails "
        "when "
        "a fresh run no longer gives this file. Each case starts from the standard subject at rest, makes "
        "its "
        "change at 2:00 through the factor panel's own rules (a value beyond the factor's limits is held at "
        "the "
        "limit) and runs to 32:00. The outcome is alive, a death with its time and cause, or a step failure "
        "with the item the model reported. The values are those of the last recorded second: arterial PO2 "
        "and "
        "PCO2 (mm Hg), arterial pH, total ventilation (l/min) and heart rate (/min). The last two columns "
        "give the lowest and highest arterial PO2 (mm Hg) and saturation (%) of the first 60 s after the "
        "change: blood that jumped at the change would show there.\n\n");
    md +=
        QStringLiteral("%1 cases: %2 step failures, %3 deaths.\n").arg(rows.size()).arg(failures).arg(deaths);
    QString section;
    for (const envelope_row& r : rows) {
        if (r.c.section != section) {
            section = r.c.section;
            md += QStringLiteral("\n## %1\n\n").arg(section);
            md += QStringLiteral(
                "| value | outcome | PaO2 | PaCO2 | pH | ventilation | heart rate | PaO2 first 60 s | "
                "SaO2 first 60 s |\n");
            md += QStringLiteral("|---|---|---|---|---|---|---|---|---|\n");
        }
        QString change = r.c.change;
        if (!r.adjusted.isEmpty()) change += QStringLiteral(" (") + r.adjusted + QLatin1Char(')');
        md += QStringLiteral("| %1 | %2 |").arg(change, r.outcome);
        if (r.end)
            md += QStringLiteral(" %1 | %2 | %3 | %4 | %5 |")
                      .arg(number(r.end->arterial_po2, 1), number(r.end->arterial_pco2, 1),
                           number(r.end->arterial_ph, 2), number(r.end->ventilation, 1),
                           number(r.end->heart_rate, 0));
        else
            md += QStringLiteral(" | | | | |");
        if (r.start)
            md += QStringLiteral(" %1 to %2 | %3 to %4 |\n")
                      .arg(number(r.start->lowest_po2, 1), number(r.start->highest_po2, 1),
                           number(r.start->lowest_saturation, 1), number(r.start->highest_saturation, 1));
        else
            md += QStringLiteral(" | |\n");
    }
    if (!notes.isEmpty()) md += QLatin1Char('\n') + notes;
    return md;
}
