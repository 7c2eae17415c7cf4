// SPDX-License-Identifier: Apache-2.0
// A teaching chart (O2 dissociation curve, X-Y plot) as an exported file:
// SVG or PNG chosen by the file name, written through write_exported_file
// (temporary file renamed over the target) as the trend plot's picture is.
#ifndef TOLVANE_CHART_PICTURE_H
#define TOLVANE_CHART_PICTURE_H

#include <QByteArray>
#include <QSize>
#include <QString>
#include <functional>

#include "safe_file.h"

class QPainter;

// Draws a chart of the given size in its own pixels.
using chart_drawing = std::function<void(QPainter&, int width, int height)>;

// The chart as an SVG document of size pixels.
QByteArray chart_svg(QSize size, const QString& title, const chart_drawing& draw);

// The chart as a PNG image of scale device pixels per chart pixel.
QByteArray chart_png(QSize size, double scale, const chart_drawing& draw);

// Writes the chart to path: SVG for ".svg", PNG at png_scale for ".png".
// On failure the message is the text to show, naming the path and the
// reason (unknown_format for any other name).
save_result export_chart_picture(const QString& path, QSize size, double png_scale, const QString& title,
                                 const chart_drawing& draw);

#endif
