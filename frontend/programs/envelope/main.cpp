// SPDX-License-Identifier: Apache-2.0
// tolvane-envelope: runs every case of the teaching envelope and writes the
// Markdown report.
//
//   tolvane-envelope CASES_DIR OUT_FILE [--compare FILE.md]
//
// CASES_DIR holds envelope_notes.md (appended to the report). With --compare,
// the written report must equal FILE.md (exit status 1 and the first
// differing line otherwise). Exit status 2 for bad arguments, 1 for a report
// that could not be written or differs.
#include "envelope.h"
#include "generated_document.h"
#include "simulator.h"
#include "validation.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

constexpr const char* program = "tolvane-envelope";

void say(const QString& text) { say_from(program, text); }

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::optional<generator_arguments> args = read_generator_arguments(
        app.arguments().mid(1), program, "Usage: tolvane-envelope CASES_DIR OUT_FILE [--compare FILE.md]\n");
    if (!args) return 2;
    QFile notes_file(QDir(args->cases_dir).filePath(QStringLiteral("envelope_notes.md")));
    const QString notes =
        notes_file.open(QIODevice::ReadOnly) ? QString::fromUtf8(notes_file.readAll()) : QString();

    quiet_ui ui;
    simulator sim(ui);
    sim.start();
    validation_runner runner(sim, ui, args->cases_dir);
    std::vector<envelope_row> rows;
    for (const envelope_case& one : envelope_cases()) rows.push_back(run_envelope_case(runner, one));

    const QByteArray md = envelope_markdown(rows, notes).toUtf8();
    QFile out(args->out);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(md) != md.size()) {
        say(QStringLiteral("cannot write %1").arg(args->out));
        return 1;
    }
    out.close();
    std::fprintf(stderr, "tolvane-envelope: %zu cases written to %s\n", rows.size(),
                 args->out.toUtf8().constData());

    if (!args->compare.isEmpty() &&
        !equals_committed(args->compare, md, program,
                          QStringLiteral("Regenerate it with tolvane-envelope validation docs/envelope.md.")))
        return 1;
    return 0;
}
