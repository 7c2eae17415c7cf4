// SPDX-License-Identifier: Apache-2.0
// Line charts of the validation report, drawn with QPainter into a QImage:
// the model's sweep as a line with dots, published values as red points with
// error bars, published ranges as shaded bands. Needs a QGuiApplication (fonts).
#ifndef TOLVANE_VALIDATION_FIGURES_H
#define TOLVANE_VALIDATION_FIGURES_H

#include <QImage>
#include <QString>
#include <optional>
#include <vector>

// A published value: y at x, with an error bar from y_low to y_high (equal to
// y for none).
struct published_point {
    double x = 0, y = 0, y_low = 0, y_high = 0;
};

// A published range at one x (drawn as a vertical band of the given width in x).
struct published_range {
    double x = 0, y_low = 0, y_high = 0, half_width = 0;
};

struct chart_panel {
    QString title;
    QString x_label, y_label;
    double x_min = 0, x_max = 1, y_min = 0, y_max = 1;
    bool x_reversed = false;
    std::vector<std::pair<double, std::optional<double>>> model;  // x, y (none: no value there)
    QString model_label = QStringLiteral("model");
    std::vector<published_point> points;
    std::vector<published_range> ranges;
    QString published_label = QStringLiteral("published");
    std::vector<std::pair<double, double>> published_line;  // a published relation, dashed
    bool legend_right = false;                              // legend on the right instead of the left
    bool legend_bottom = false;                             // legend at the bottom instead of the top
};

// Draws panels stacked vertically into one image of the given width.
QImage draw_chart_panels(const std::vector<chart_panel>& panels, int width = 760, int panel_height = 300);

#endif
