// SPDX-License-Identifier: Apache-2.0
#include "chart_picture.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cmath>

#include "picture_export.h"
#include "window_font.h"

namespace {

void draw_with_window_font(QPainter& painter, QSize size, const chart_drawing& draw)
{
    painter.setFont(window_font());
    draw(painter, size.width(), size.height());
}

}  // namespace

QByteArray chart_svg(QSize size, const QString& title, const chart_drawing& draw)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(title);
    QPainter painter(&generator);
    draw_with_window_font(painter, size, draw);
    painter.end();
    return buffer.data();
}

QByteArray chart_png(QSize size, double scale, const chart_drawing& draw)
{
    QImage image(static_cast<int>(std::ceil(size.width() * scale)),
                 static_cast<int>(std::ceil(size.height() * scale)), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    draw_with_window_font(painter, size, draw);
    painter.end();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

save_result export_chart_picture(const QString& path, QSize size, double png_scale, const QString& title,
                                 const chart_drawing& draw)
{
    switch (picture_format_for(path)) {
    case picture_format::svg:
        return write_exported_file(path, chart_svg(size, title, draw));
    case picture_format::png:
        return write_exported_file(path, chart_png(size, png_scale, draw));
    case picture_format::unknown:
        break;
    }
    return save_result::failure(save_status::unknown_format,
                                QStringLiteral("Sorry, cannot write %1: the name must end in .svg or .png.")
                                    .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()))
                                    .toStdString());
}
