// SPDX-License-Identifier: Apache-2.0
#include "generated_document.h"

#include <QFile>

#include <algorithm>
#include <cstdio>

void say_from(const char* program, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", program, text.toUtf8().constData());
}

std::optional<generator_arguments> read_generator_arguments(QStringList args, const char* program,
                                                            const char* usage_line)
{
    generator_arguments result;
    const qsizetype c = args.indexOf(QStringLiteral("--compare"));
    if (c >= 0) {
        if (c + 1 >= args.size()) {
            say_from(program, QStringLiteral("--compare needs a file"));
            return std::nullopt;
        }
        result.compare = args[c + 1];
        args.remove(c, 2);
    }
    if (args.size() != 2) {
        std::fputs(usage_line, stderr);
        return std::nullopt;
    }
    result.cases_dir = args[0];
    result.out = args[1];
    return result;
}

bool equals_committed(const QString& committed, const QByteArray& fresh, const char* program,
                      const QString& regenerate_hint)
{
    QFile file(committed);
    if (!file.open(QIODevice::ReadOnly)) {
        say_from(program, QStringLiteral("cannot read %1").arg(committed));
        return false;
    }
    const QList<QByteArray> a = file.readAll().split('\n'), b = fresh.split('\n');
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const QByteArray x = i < a.size() ? a[i] : QByteArray("(end of file)");
        const QByteArray y = i < b.size() ? b[i] : QByteArray("(end of file)");
        if (x != y) {
            say_from(program, QStringLiteral("%1 differs from a fresh run at line %2:\n  committed: %3\n"
                                             "  fresh:     %4\n%5")
                                  .arg(committed)
                                  .arg(i + 1)
                                  .arg(QString::fromUtf8(x), QString::fromUtf8(y), regenerate_hint));
            return false;
        }
    }
    return true;
}
