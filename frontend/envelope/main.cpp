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
#include "simulator.h"
#include "validation.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

void say(const QString& text) { std::fprintf(stderr, "tolvane-envelope: %s\n", text.toUtf8().constData()); }

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString compare;
    const qsizetype c = args.indexOf(QStringLiteral("--compare"));
    if (c >= 0) {
        if (c + 1 >= args.size()) {
            say(QStringLiteral("--compare needs a file"));
            return 2;
        }
        compare = args[c + 1];
        args.remove(c, 2);
    }
    if (args.size() != 2) {
        std::fputs("Usage: tolvane-envelope CASES_DIR OUT_FILE [--compare FILE.md]\n", stderr);
        return 2;
    }
    QFile notes_file(QDir(args[0]).filePath(QStringLiteral("envelope_notes.md")));
    const QString notes = notes_file.open(QIODevice::ReadOnly) ? QString::fromUtf8(notes_file.readAll()) : QString();

    quiet_ui ui;
    simulator sim(ui);
    sim.start();
    validation_runner runner(sim, ui, args[0]);
    std::vector<envelope_row> rows;
    for (const envelope_case& one : envelope_cases()) rows.push_back(run_envelope_case(runner, one));

    const QByteArray md = envelope_markdown(rows, notes).toUtf8();
    QFile out(args[1]);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(md) != md.size()) {
        say(QStringLiteral("cannot write %1").arg(args[1]));
        return 1;
    }
    out.close();
    std::fprintf(stderr, "tolvane-envelope: %zu cases written to %s\n", rows.size(), args[1].toUtf8().constData());

    if (!compare.isEmpty()) {
        QFile committed(compare);
        if (!committed.open(QIODevice::ReadOnly)) {
            say(QStringLiteral("cannot read %1").arg(compare));
            return 1;
        }
        const QList<QByteArray> a = committed.readAll().split('\n'), b = md.split('\n');
        for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
            const QByteArray x = i < a.size() ? a[i] : QByteArray("(end of file)");
            const QByteArray y = i < b.size() ? b[i] : QByteArray("(end of file)");
            if (x != y) {
                say(QStringLiteral("%1 differs from a fresh run at line %2:\n  committed: %3\n  fresh:     %4\n"
                                   "Regenerate it with tolvane-envelope validation docs/envelope.md.")
                        .arg(compare)
                        .arg(i + 1)
                        .arg(QString::fromUtf8(x), QString::fromUtf8(y)));
                return 1;
            }
        }
    }
    return 0;
}
