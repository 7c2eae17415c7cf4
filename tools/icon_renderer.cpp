// SPDX-License-Identifier: Apache-2.0
// Renders the scalable application icon into the PNG sizes of the hicolor
// theme: SVG FOLDER writes FOLDER/tolvane-N.png for N = 48, 64, 128, 256.
// Run once by hand after a change of the icon; the PNGs are committed:
//   QT_QPA_PLATFORM=offscreen build/bin/icon_renderer assets/icons/tolvane.svg assets/icons
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: icon_renderer ICON.svg FOLDER\n");
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "icon_renderer: cannot read %s\n", argv[1]);
        return 1;
    }
    for (const int size : {48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString path =
            QStringLiteral("%1/tolvane-%2.png").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        if (!image.save(path)) {
            std::fprintf(stderr, "icon_renderer: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
