// SPDX-License-Identifier: Apache-2.0
// Takes the user guide's screenshots: tolvane-guide-shots OUTDIR [--check GUIDE.md]
// [--only NAME]. Writes OUTDIR/NAME.png for every registered shot. With
// --check, fails when a picture the guide names (guide/NAME.png) was not
// made, or when a picture is blank. QT_SCALE_FACTOR=2 gives the 2x pictures.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>
#include <set>

#include "guide_shots.h"

namespace {

// A picture of one colour only is a failed grab, not a screenshot.
bool looks_blank(const QImage& image)
{
    if (image.isNull() || image.width() < 50 || image.height() < 50) return true;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            if (image.pixel(x, y) != first) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    QStringList args = application.arguments().mid(1);
    QString guide, only;
    for (int i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--check")) guide = args[i + 1];
        if (args[i] == QLatin1String("--only")) only = args[i + 1];
    }
    if (args.isEmpty() || args[0].startsWith(QLatin1String("--"))) {
        std::fprintf(stderr, "usage: tolvane-guide-shots OUTDIR [--check GUIDE.md] [--only NAME]\n");
        return 2;
    }
    const QDir out(args[0]);
    QDir().mkpath(out.path());
    int failures = 0;
    std::set<QString> made;
    for (const guide_shot& shot : guide_shots()) {
        if (!only.isEmpty() && shot.name != only) continue;
        guide_session session;
        const QImage image = shot.take(session);
        const QString path = out.filePath(shot.name + QStringLiteral(".png"));
        if (looks_blank(image) || !image.save(path)) {
            std::fprintf(stderr, "guide shot %s: blank or not written\n", qPrintable(shot.name));
            ++failures;
            continue;
        }
        made.insert(shot.name);
        std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    }
    if (!guide.isEmpty()) {
        QFile file(guide);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(guide));
            return 1;
        }
        const QString text = QString::fromUtf8(file.readAll());
        static const QRegularExpression picture(QStringLiteral(R"(guide/([A-Za-z0-9_\-]+)\.png)"));
        for (auto it = picture.globalMatch(text); it.hasNext();) {
            const QString name = it.next().captured(1);
            if (!made.count(name)) {
                std::fprintf(stderr, "%s names guide/%s.png, which no shot made\n", qPrintable(guide),
                             qPrintable(name));
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
