// SPDX-License-Identifier: Apache-2.0
#include "picture_export.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSvgGenerator>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "plot_legend.h"
#include "subject_file.h"
#include "window_font.h"

picture_format picture_format_for(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg")) return picture_format::svg;
    if (suffix == QLatin1String("png")) return picture_format::png;
    return picture_format::unknown;
}

namespace {

void paint_picture(QPainter& painter, const plot_picture& picture)
{
    painter.setFont(window_font());
    const QString reference_name = picture.reference ? picture.reference_name : QString();
    if (picture.whole_run_seconds > 0 && picture.whole_run_value) {
        paint_whole_run(painter, picture.cw, picture.state, picture.display_sel, picture.whole_run_seconds,
                        picture.whole_run_value, picture.marks);
    } else {
        paint_trend_plot(painter, picture.cw, picture.state, picture.display_sel, picture.model_version,
                         picture.logo, picture.reference);
        draw_page_event_marks(painter, picture.cw, picture.state, picture.marks);
        draw_reference_legend(painter, picture.cw, reference_name);
    }
    draw_trace_legend(painter, picture.cw, plot_area_height, picture.display_sel, reference_name);
}

}  // namespace

int picture_height(const plot_picture& picture)
{
    return plot_area_height +
           trace_legend_height(picture.reference != nullptr && !picture.reference_name.isEmpty());
}

QByteArray plot_svg(const plot_picture& picture)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(picture.cw, picture_height(picture)));
    generator.setViewBox(QRect(0, 0, picture.cw, picture_height(picture)));
    generator.setTitle(QStringLiteral("Tolvane trend plot"));
    QPainter painter(&generator);
    paint_picture(painter, picture);
    painter.end();
    return buffer.data();
}

QByteArray plot_png(const plot_picture& picture, double scale)
{
    QImage image(static_cast<int>(std::ceil(picture.cw * scale)),
                 static_cast<int>(std::ceil(picture_height(picture) * scale)), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint_picture(painter, picture);
    painter.end();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

save_result write_exported_file(const QString& path, const QByteArray& bytes)
{
    errno = 0;
    const save_status status = write_subject_file(path, bytes).code();
    if (status == save_status::ok) return {};
    const int error = errno;
    QString reason;
    if (error != 0)
        reason = QString::fromLocal8Bit(std::strerror(error));
    else if (status == save_status::cannot_open)
        reason = QStringLiteral("the file is read-only or not a plain file");
    else
        reason = QStringLiteral("the file could not be written in full");
    return save_result::failure(status,
                                QStringLiteral("Sorry, cannot write %1: %2.")
                                    .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason)
                                    .toStdString());
}
