// SPDX-License-Identifier: Apache-2.0
// Validation cases: the table, the measures of a run, verdicts and the report.
#include "validation.h"

#include "catalogue_view.h"
#include "pressure_units.h"
#include "result_text.h"
#include "simulator.h"
#include "slot_ids.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The seconds over which a steady value is averaged: the run's last minute.
std::pair<int, int> last_minute(const script_timeline& timeline)
{
    const int end = timeline.last_time();
    return {std::max(end - 59, std::min(end, 1)), end};
}

QString run_end_text(const validation_run& run)
{
    switch (run.result.status.code()) {
    case script_end::finished:
        return {};
    case script_end::died:
        return QStringLiteral("the subject died at %1").arg(format_minutes_seconds(run.result.end_time));
    case script_end::step_failed:
        return QStringLiteral("the model step failed at %1 (item %2)")
            .arg(format_minutes_seconds(run.result.failed_time))
            .arg(run.result.failure_item);
    case script_end::refused:
    case script_end::load_failed:
        return message_text(run.result.status);
    }
    return {};
}

}  // namespace

// --- the table ---------------------------------------------------------------

validation_cases parse_validation_cases(const QString& text, const QString& file_name)
{
    validation_cases out;
    const QStringList lines = text.split(QLatin1Char('\n'));
    bool header_seen = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString(lines[i]).remove(QLatin1Char('\r'));
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#'))) continue;
        if (!header_seen) {
            header_seen = true;
            continue;
        }
        const QStringList f = line.split(QLatin1Char('\t'));
        auto fail = [&](const QString& message) {
            out.status = table_result::failure(
                table_status::bad_text,
                QStringLiteral("%1:%2: %3").arg(file_name).arg(i + 1).arg(message).toStdString());
            out.cases.clear();
            return out;
        };
        if (f.size() != 9) return fail(QStringLiteral("%1 fields, 9 expected").arg(f.size()));
        validation_case c;
        c.line = static_cast<int>(i) + 1;
        c.group = f[0].trimmed();
        c.script = f[1].trimmed();
        c.measure = f[2].trimmed();
        c.quantity = f[3].trimmed();
        c.unit = f[4].trimmed();
        c.published = f[5].trimmed();
        const std::optional<double> low = number(f[6]), high = number(f[7]);
        if (!low || !high || *high < *low)
            return fail(QStringLiteral("low and high must be numbers, low <= high"));
        c.low = *low;
        c.high = *high;
        c.source = f[8].trimmed();
        out.cases.push_back(c);
    }
    return out;
}

validation_cases read_validation_cases(const QString& path)
{
    return read_table_file(path, parse_validation_cases);
}

// --- verdicts ----------------------------------------------------------------

QString verdict_text(verdict v)
{
    switch (v) {
    case verdict::within_10:
        return QStringLiteral("within 10 %");
    case verdict::within_30:
        return QStringLiteral("within 30 %");
    case verdict::beyond_30:
        return QStringLiteral("beyond 30 %");
    case verdict::wrong_direction:
        return QStringLiteral("wrong direction");
    case verdict::no_value:
        return QStringLiteral("no value");
    }
    return {};
}

std::optional<double> difference_percent(double value, double low, double high)
{
    if (value >= low && value <= high) return 0.0;
    const double end = value < low ? low : high;
    if (end == 0) return std::nullopt;
    return 100.0 * (value - end) / std::fabs(end);
}

verdict judge(std::optional<double> value, double low, double high, bool directional)
{
    if (!value) return verdict::no_value;
    if (directional) {
        const double published_sign = (low + high) / 2;
        if ((published_sign > 0 && *value <= 0) || (published_sign < 0 && *value >= 0))
            return verdict::wrong_direction;
    }
    const std::optional<double> d = difference_percent(*value, low, high);
    if (!d) return verdict::beyond_30;
    // A hair's breadth of rounding never moves a verdict across a boundary.
    const double a = std::fabs(*d) - 1e-9;
    if (a <= 10) return verdict::within_10;
    if (a <= 30) return verdict::within_30;
    return verdict::beyond_30;
}

// --- runs and measures -------------------------------------------------------

validation_runner::validation_runner(simulator& sim, quiet_ui& ui, QString folder)
    : sim_(sim), ui_(ui), folder_(std::move(folder))
{
}

validation_run validation_runner::run_text(const QString& text, const QString& name)
{
    validation_run run;
    const script_parse_result parsed = parse_scenario_script(text, name);
    if (!parsed.status.ok()) {
        run.parsed = parsed.status;
        return run;
    }
    // A fresh standard subject breathing room air through no bag: RESET
    // does not reset the breathing circuit.
    sim_.reset_clicked();
    restore_standard_breathing(sim_);
    ui_.warnings.clear();
    run.result = run_scenario_script(sim_, parsed.script);
    run.memo = ui_.clinical_text();
    return run;
}

const validation_run& validation_runner::run_file(const QString& name)
{
    const auto found = runs_.find(name);
    if (found != runs_.end()) return found->second;
    QFile file(QDir(folder_).filePath(name));
    validation_run run;
    if (!file.open(QIODevice::ReadOnly))
        run.parsed = script_parse_outcome::failure(
            script_parse_status::cannot_read,
            QStringLiteral("%1: cannot read the script").arg(name).toStdString());
    else
        run = run_text(QString::fromUtf8(file.readAll()), name);
    return runs_.emplace(name, std::move(run)).first->second;
}

measured validation_runner::simple_measure(const validation_run& run, const QString& expression)
{
    if (!run.parsed.ok()) return {std::nullopt, message_text(run.parsed)};
    if (!run.result.status.ok()) return {std::nullopt, run_end_text(run)};
    const script_timeline& timeline = run.result.timeline;
    if (timeline.last_time() < 1) return {std::nullopt, QStringLiteral("the run recorded nothing")};
    const auto [first, last] = last_minute(timeline);
    auto mean_of_row = [&](int row) {
        double sum = 0;
        for (int t = first; t <= last; ++t) sum += timeline.value(row, t);
        return sum / (last - first + 1);
    };
    const int displays = static_cast<int>(display_records().size());
    const int others = static_cast<int>(other_values().size());
    const int display_row = display_index_by_name(expression.toStdString());
    if (display_row >= 0 && display_row < displays) return {mean_of_row(display_row), {}};
    static const QRegularExpression variable(QStringLiteral("^([DO])(\\d+)$"));
    const QRegularExpressionMatch m = variable.match(expression);
    if (m.hasMatch()) {
        const int index = m.captured(2).toInt();
        const bool is_display = m.captured(1) == QLatin1String("D");
        if ((is_display && index >= displays) || (!is_display && index >= others))
            return {std::nullopt, QStringLiteral("no variable %1").arg(expression)};
        return {mean_of_row(is_display ? index : displays + index), {}};
    }
    if (expression == QLatin1String("VO2"))
        return {mean_of_row(displays + other_id::o2_uptake_per_step) * 60.0 / 1000.0, {}};
    if (expression == QLatin1String("H")) {
        double sum = 0;
        for (int t = first; t <= last; ++t)
            sum += std::pow(10.0, 9.0 - timeline.value(display_id::arterial_ph, t));
        return {sum / (last - first + 1), {}};
    }
    return {std::nullopt, QStringLiteral("unknown measure %1").arg(expression)};
}

measured validation_runner::measure(const QString& script, const QString& expression)
{
    static const QRegularExpression call(QStringLiteral("^(\\w+)\\((.*)\\)$"));
    const QRegularExpressionMatch m = call.match(expression);
    if (!m.hasMatch()) return simple_measure(run_file(script), expression);
    const QString name = m.captured(1);
    const QStringList args = m.captured(2).split(QLatin1Char(','));
    if (name == QLatin1String("change") && args.size() == 2) {
        const measured here = simple_measure(run_file(script), args[0].trimmed());
        const measured base = simple_measure(run_file(args[1].trimmed()), args[0].trimmed());
        if (!here.value) return here;
        if (!base.value) return base;
        if (*base.value == 0) return {std::nullopt, QStringLiteral("base value is 0")};
        return {100.0 * (*here.value / *base.value - 1.0), {}};
    }
    if (name == QLatin1String("slope") && args.size() == 3) {
        const validation_run& here = run_file(script);
        const validation_run& base = run_file(args[2].trimmed());
        const measured y = simple_measure(here, args[0].trimmed()),
                       x = simple_measure(here, args[1].trimmed());
        const measured yb = simple_measure(base, args[0].trimmed()),
                       xb = simple_measure(base, args[1].trimmed());
        for (const measured* part : {&y, &x, &yb, &xb})
            if (!part->value) return *part;
        if (*x.value == *xb.value) return {std::nullopt, QStringLiteral("no change in the abscissa")};
        return {(*y.value - *yb.value) / (*x.value - *xb.value), {}};
    }
    const bool complaint = name == QLatin1String("complaint_after");
    if ((name == QLatin1String("message_after") || complaint) && args.size() == 1) {
        const validation_run& run = run_file(script);
        if (!run.parsed.ok()) return {std::nullopt, message_text(run.parsed)};
        const std::optional<int> from = parse_minutes_seconds(args[0].trimmed());
        if (!from) return {std::nullopt, QStringLiteral("bad time %1").arg(args[0])};
        static const QRegularExpression stamp(QStringLiteral("^(\\d+:\\d\\d) "));
        for (const QString& line : run.memo.split(QStringLiteral("\r\n"))) {
            const QRegularExpressionMatch s = stamp.match(line);
            if (!s.hasMatch()) continue;
            const std::optional<int> t = parse_minutes_seconds(s.captured(1));
            // A complaint is the subject's own sentence ("I ...", "My ..."),
            // not an observer's ("Your patient is blue.").
            const QString text = line.mid(s.capturedLength());
            if (complaint && !text.startsWith(QLatin1String("I ")) && !text.startsWith(QLatin1String("I'")) &&
                !text.startsWith(QLatin1String("My ")))
                continue;
            if (t && *t > *from) return {static_cast<double>(*t - *from), {}};
        }
        return {std::nullopt, QStringLiteral("no message before the run ended at %1")
                                  .arg(format_minutes_seconds(run.result.end_time))};
    }
    return {std::nullopt, QStringLiteral("unknown measure %1").arg(expression)};
}

std::vector<validation_row> evaluate_cases(validation_runner& runner,
                                           const std::vector<validation_case>& cases)
{
    std::vector<validation_row> rows;
    for (const validation_case& c : cases) {
        validation_row row;
        row.c = c;
        row.model = runner.measure(c.script, c.measure);
        const bool directional =
            c.measure.startsWith(QLatin1String("change(")) || c.measure.startsWith(QLatin1String("slope("));
        if (row.model.value) row.difference = difference_percent(*row.model.value, c.low, c.high);
        row.v = judge(row.model.value, c.low, c.high, directional);
        rows.push_back(row);
    }
    return rows;
}

// --- the report --------------------------------------------------------------

QString report_number(double value)
{
    if (value == 0) return QStringLiteral("0");
    const double magnitude = std::floor(std::log10(std::fabs(value)));
    const int decimals = std::max(0, 2 - static_cast<int>(magnitude));
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && text.toDouble() == 0) text.remove(0, 1);
    return text;
}

QString validation_markdown(const std::vector<validation_row>& rows,
                            const std::vector<validation_figure>& figures, const QString& discussion)
{
    QString md;
    md += QStringLiteral(
              "# Validation against published human physiology\n\n"
              "This file is written by `tolvane-validate` from `validation/cases.tsv` and the scenario "
              "scripts beside it; do not edit it by hand. Each row runs a script on the standard subject "
              "(178 cm, 70 kg, 40-year-old man) through the same controls as the windows and compares one "
              "measure of the run with a published value.\n\n"
              "How the model's values are taken:\n\n"
              "- A steady value is the mean over the last minute of the script (60 one-second samples).\n"
              "- O2 uptake is not a display variable. It is taken as other[%1], the O2 amount (ml STPD) "
              "that the lungs took from the inspired gas in one 1-s step, times 60 / 1000, giving l/min "
              "STPD.\n"
              "- Arterial pH is compared as hydrogen ion concentration, 10^(9 - pH) nmol/l, so that the "
              "per-cent difference means something (pH 7.35 to 7.45 is 45 to 35 nmol/l).\n"
              "- A change is the per-cent change from the value of another script; a slope is the "
              "difference of one measure divided by that of another between two scripts.\n"
              "- Difference: 0 inside a published range, otherwise per cent of the nearer end (or of the "
              "single published value). Verdict: within 10 %, within 30 %, beyond 30 %, wrong direction "
              "(a change or slope of the opposite sign), or no value (the run ended early or had no "
              "event).\n\n")
              .arg(other_id::o2_uptake_per_step);

    md += QStringLiteral("## Comparisons\n\n");
    md += QStringLiteral("| Case | Quantity | Model | Published | Difference | Verdict | Source |\n");
    md += QStringLiteral("|---|---|---|---|---|---|---|\n");
    int counts[5] = {0, 0, 0, 0, 0};
    for (const validation_row& r : rows) {
        ++counts[static_cast<int>(r.v)];
        const QString unit = r.c.unit.isEmpty() ? QString() : QStringLiteral(" ") + r.c.unit;
        const QString model = r.model.value ? report_number(*r.model.value) + unit
                                            : QStringLiteral("(%1)").arg(r.model.why_not);
        QString difference = QStringLiteral("-");
        if (r.difference) {
            difference = QString::number(*r.difference, 'f', 1);
            if (difference == QLatin1String("-0.0") || difference == QLatin1String("0.0"))
                difference = QStringLiteral("0");
            else if (*r.difference > 0)
                difference.prepend(QLatin1Char('+'));
            difference += QStringLiteral(" %");
        }
        md += QStringLiteral("| %1 | %2 | %3 | %4%5 | %6 | %7 | %8 |\n")
                  .arg(r.c.group, r.c.quantity, model, r.c.published, unit, difference, verdict_text(r.v),
                       r.c.source);
    }
    md += QStringLiteral(
              "\nIn all %1 comparisons: %2 within 10 %, %3 within 30 %, %4 beyond 30 %, "
              "%5 in the wrong direction, %6 without a value.\n\n")
              .arg(rows.size())
              .arg(counts[0])
              .arg(counts[1])
              .arg(counts[2])
              .arg(counts[3])
              .arg(counts[4]);

    md += QStringLiteral("## Figures\n\n");
    for (const validation_figure& f : figures)
        md += QStringLiteral("![%1](figures/%2)\n\n%1\n\n").arg(f.caption, f.file);
    md += discussion;
    if (!md.endsWith(QLatin1Char('\n'))) md += QLatin1Char('\n');
    return md;
}
