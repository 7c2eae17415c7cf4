// SPDX-License-Identifier: Apache-2.0
// View, "O2 dissociation curve": the subject's curve at the cursor with its
// arterial and mixed venous points, beside the standard curve.
#ifndef TOLVANE_O2_CURVE_WINDOW_H
#define TOLVANE_O2_CURVE_WINDOW_H

#include "chart_window.h"
#include "o2_curve.h"
#include "o2_curve_plot.h"

class To2curve_F : public chart_window {
    Q_OBJECT
public:
    explicit To2curve_F(Tmain_F& main);
    // What the chart shows now.
    const o2_curve_view& view() const { return view_; }

protected:
    void take_state() override;
    void draw(QPainter& painter, int width, int height) const override;
    QString picture_name() const override { return QStringLiteral("o2_curve.svg"); }

private:
    o2_curve_view view_;
    o2_point_colours colours_;
};

#endif
