// SPDX-License-Identifier: Apache-2.0
// Validation against published human physiology: a table of comparisons
// (validation/cases.tsv), each a scenario script, a measure of the model's
// run and the published value with its source; the runner, the verdicts and
// the Markdown report. The figures are drawn by validation_figures.
#ifndef TOLVANE_VALIDATION_H
#define TOLVANE_VALIDATION_H

#include "scenario_script.h"
#include "headless_ui.h"
#include "result.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class simulator;

// A ui_port that shows nothing: keeps the clinical memo and the warnings.
class quiet_ui : public headless_ui {
public:
    QStringList warnings;

    void show_warning(const QString& text) override { warnings << text; }
    void show_error(const QString& text) override { warnings << text; }
};

// One comparison: a row of validation/cases.tsv.
//
// Columns (tab-separated, a first header row, # lines are comments): group,
// script (file in the cases' folder), measure, quantity, unit, published (as
// shown), low, high (the published value as a number or range; low == high
// for a single value), source.
//
// Measures, taken from the run as it stands at the script's end:
//   NAME            the display variable of that short name ("total_ventilation"),
//                   mean over the last minute
//   D<n>, O<n>      display n / other n by index, mean over the last minute
//   VO2             O2 uptake in l/min: o2_uptake_per_step (ml STPD taken from
//                   the inspired gas per 1-s step) x 60 / 1000, mean over the last minute
//   H               arterial hydrogen ion, nmol/l: 10^(9 - arterial_ph)
//   change(M,S)     per-cent change of measure M from its value in script S
//   slope(M,N,S)    (M - M in S) / (N - N in S)
//   message_after(T)  seconds from T to the first clinical message after T
//   complaint_after(T)  the same for the first of the subject's own sentences
//                   ("I ...", "My ..."), leaving out the observer's ("Your patient ...")
struct validation_case {
    int line = 0;
    QString group, script, measure, quantity, unit, published, source;
    double low = 0, high = 0;
};

// Why a data table of the validation (cases, figure sweeps) cannot be used.
enum class table_status {
    ok,
    cannot_read,  // "FILE: cannot read"
    bad_text,     // "FILE:LINE: message", or the file's own words where no line is to blame
};
using table_result = result<table_status>;

// Reads the UTF-8 table file at path and returns parse(text, path); a file
// that cannot be read gives an empty Table whose status is cannot_read.
template <typename Table>
Table read_table_file(const QString& path, Table (*parse)(const QString& text, const QString& file_name))
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Table out;
        out.status = table_result::failure(table_status::cannot_read,
                                           QStringLiteral("%1: cannot read").arg(path).toStdString());
        return out;
    }
    return parse(QString::fromUtf8(file.readAll()), path);
}

struct validation_cases {
    std::vector<validation_case> cases;
    table_result status;  // not ok: no cases, the message says why
};

validation_cases parse_validation_cases(const QString& text, const QString& file_name);
validation_cases read_validation_cases(const QString& path);

enum class verdict { within_10, within_30, beyond_30, wrong_direction, no_value };

// The verdict text shown in the report.
QString verdict_text(verdict v);

// Difference in per cent of value from the published low..high: 0 inside the
// range, otherwise relative to the nearer end. none when that end is 0.
std::optional<double> difference_percent(double value, double low, double high);

// The verdict of a model value against low..high. A change or slope
// (directional) whose sign differs from the published one is in the wrong direction.
verdict judge(std::optional<double> value, double low, double high, bool directional);

// A measured value, or why there is none.
struct measured {
    std::optional<double> value;
    QString why_not;
};

// One script run as the validation keeps it.
struct validation_run {
    script_run_result result;
    QString memo;                 // the clinical memo at the end
    script_parse_outcome parsed;  // not ok: the script's error, and nothing ran
};

// Runs scripts from a folder on one simulator, each from a fresh standard
// subject with natural breathing and the standard bag state; remembers each
// run by script name.
class validation_runner {
public:
    validation_runner(simulator& sim, quiet_ui& ui, QString folder);

    // The run of a script file of the folder (run once, then remembered).
    const validation_run& run_file(const QString& name);
    // Runs script text (not remembered).
    validation_run run_text(const QString& text, const QString& name);

    // Evaluates a measure (see validation_case) on the run of a script file.
    measured measure(const QString& script, const QString& expression);
    // Evaluates a simple measure (a display short name, D<n>, O<n>, VO2, H) on a run.
    static measured simple_measure(const validation_run& run, const QString& expression);

private:
    simulator& sim_;
    quiet_ui& ui_;
    QString folder_;
    std::map<QString, validation_run> runs_;
};

// One evaluated comparison.
struct validation_row {
    validation_case c;
    measured model;
    std::optional<double> difference;
    verdict v = verdict::no_value;
};

std::vector<validation_row> evaluate_cases(validation_runner& runner,
                                           const std::vector<validation_case>& cases);

// A figure: a file name and the Markdown caption.
struct validation_figure {
    QString file;  // e.g. "co2_ventilation.png"
    QString caption;
};

// The whole report in Markdown; figures are linked as figures/FILE.
// discussion (Markdown) is appended as it stands.
QString validation_markdown(const std::vector<validation_row>& rows,
                            const std::vector<validation_figure>& figures, const QString& discussion);

// Number as the report shows it: 3 significant digits, no exponent.
QString report_number(double value);

#endif
