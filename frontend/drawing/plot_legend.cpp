// SPDX-License-Identifier: Apache-2.0
#include "plot_legend.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "cp1252.h"
#include "catalogue_view.h"

namespace {

constexpr int legend_row_height = 16;
constexpr int stroke_length = 18;

QPen stroke_pen(const QColor& colour, bool dashed)
{
    QPen pen(colour);
    pen.setWidth(dashed ? 1 : 2);
    pen.setCosmetic(false);
    if (dashed) pen.setDashPattern({3.0, 2.0});
    return pen;
}

// A stroke and its text with the text's top at y; returns the x after it.
int stroke_and_text(QPainter& painter, int x, int y, const QColor& colour, bool dashed, const QString& text)
{
    const int middle = y + painter.fontMetrics().height() / 2;
    painter.setPen(stroke_pen(colour, dashed));
    painter.drawLine(x, middle, x + stroke_length, middle);
    painter.setPen(colour);
    painter.drawText(x + stroke_length + 4, y + painter.fontMetrics().ascent(), text);
    return x + stroke_length + 4 + painter.fontMetrics().horizontalAdvance(text);
}

}  // namespace

void draw_reference_legend(QPainter& painter, int cw, const QString& reference_name)
{
    if (reference_name.isEmpty()) return;
    painter.save();
    const QFontMetrics metrics = painter.fontMetrics();
    const QString live = QStringLiteral("live run");
    const QString reference = QStringLiteral("reference: ") + reference_name;
    const int width =
        2 * (stroke_length + 4) + metrics.horizontalAdvance(live) + metrics.horizontalAdvance(reference) + 16;
    const int right = cw - 164;
    const int left = std::max(right - width, 164);
    const int top = 2;
    painter.fillRect(QRect(left - 3, top - 1, right - left + 6, metrics.height() + 2), Qt::white);
    const int after = stroke_and_text(painter, left, top, Qt::black, false, live);
    stroke_and_text(painter, after + 12, top, Qt::black, true, reference);
    painter.restore();
}

int trace_legend_height(bool with_reference) { return legend_row_height * (with_reference ? 3 : 2) + 6; }

void draw_trace_legend(QPainter& painter, int cw, int top, const display_selection& display_sel,
                       const QString& reference_name)
{
    painter.save();
    painter.fillRect(QRect(0, top, cw, trace_legend_height(!reference_name.isEmpty())), Qt::white);
    const int column_width = (cw - 16) / 4;
    const std::span<const catalogue_record> displays = display_records();
    for (int k = 0; k < 8; ++k) {
        const int v = display_sel[static_cast<size_t>(k)];
        if (v < 0 || static_cast<size_t>(v) >= displays.size()) continue;
        const catalogue_record& record = displays[static_cast<size_t>(v)];
        if (record.maximum == record.minimum) continue;
        const int x = 8 + column_width * (k % 4);
        const int y = top + 3 + legend_row_height * (k / 4);
        stroke_and_text(painter, x, y, trace_colour(k), false, from_cp1252(record.name));
    }
    if (!reference_name.isEmpty())
        stroke_and_text(painter, 8, top + 3 + 2 * legend_row_height, Qt::black, true,
                        QStringLiteral("reference: ") + reference_name);
    painter.restore();
}
