// SPDX-License-Identifier: Apache-2.0
// tolvane-validate: runs every validation case and the figure sweeps, writes
// the Markdown report and its PNG figures.
//
//   tolvane-validate CASES_DIR OUT_DIR [--compare FILE.md]
//
// CASES_DIR holds cases.tsv, the scenario scripts it names, the figure
// sweeps figures.tsv and discussion.md;
// OUT_DIR receives validation.md and figures/*.png. With --compare, the
// written report must equal FILE.md (exit status 1 and the first differing
// line otherwise). Exit status 2 for bad arguments or unreadable cases, 1 for
// a figure that could not be written or a report that differs.
#include "generated_document.h"
#include "result_text.h"
#include "simulator.h"
#include "validation.h"
#include "validation_figures.h"
#include "validation_sweeps.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

constexpr const char* program = "tolvane-validate";

void say(const QString& text) { say_from(program, text); }

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::optional<generator_arguments> args = read_generator_arguments(
        app.arguments().mid(1), program, "Usage: tolvane-validate CASES_DIR OUT_DIR [--compare FILE.md]\n");
    if (!args) return 2;
    const QDir cases_dir(args->cases_dir), out_dir(args->out);
    const validation_cases table = read_validation_cases(cases_dir.filePath(QStringLiteral("cases.tsv")));
    if (!table.status.ok()) {
        say(message_text(table.status));
        return 2;
    }
    const sweep_figures sweeps = read_sweep_figures(cases_dir.filePath(QStringLiteral("figures.tsv")));
    if (!sweeps.status.ok()) {
        say(message_text(sweeps.status));
        return 2;
    }
    QFile discussion_file(cases_dir.filePath(QStringLiteral("discussion.md")));
    const QString discussion =
        discussion_file.open(QIODevice::ReadOnly) ? QString::fromUtf8(discussion_file.readAll()) : QString();

    quiet_ui ui;
    simulator sim(ui);
    sim.start();
    validation_runner runner(sim, ui, cases_dir.path());
    const std::vector<validation_row> rows = evaluate_cases(runner, table.cases);

    // --- figures: the sweeps of figures.tsv --------------------------------------
    const auto figures = run_sweeps(runner, sweeps.figures);

    int status = 0;
    if (!out_dir.mkpath(QStringLiteral("figures"))) {
        say(QStringLiteral("cannot create %1/figures").arg(out_dir.path()));
        return 1;
    }
    std::vector<validation_figure> figure_list;
    for (const auto& [figure, panels] : figures) {
        const QString path = out_dir.filePath(QStringLiteral("figures/") + figure.file);
        if (!draw_chart_panels(panels).save(path, "PNG")) {
            say(QStringLiteral("cannot write %1").arg(path));
            status = 1;
        }
        figure_list.push_back(figure);
    }

    const QByteArray md = validation_markdown(rows, figure_list, discussion).toUtf8();
    const QString md_path = out_dir.filePath(QStringLiteral("validation.md"));
    QFile out(md_path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(md) != md.size()) {
        say(QStringLiteral("cannot write %1").arg(md_path));
        return 1;
    }
    out.close();
    std::fprintf(stderr, "tolvane-validate: %zu comparisons, %zu figures written to %s\n", rows.size(),
                 figure_list.size(), out_dir.path().toUtf8().constData());

    if (!args->compare.isEmpty() &&
        !equals_committed(
            args->compare, md, program,
            QStringLiteral("Regenerate it with tolvane-validate validation docs and review the verdicts.")))
        return 1;
    return status;
}
