// SPDX-License-Identifier: Apache-2.0
// View, "X-Y plot": one display variable against another over the recorded
// history, with the cursor second marked.
#ifndef TOLVANE_XY_PLOT_WINDOW_H
#define TOLVANE_XY_PLOT_WINDOW_H

#include "chart_window.h"
#include "xy_trajectory.h"

class QCheckBox;
class QComboBox;

class Txyplot_F : public chart_window {
    Q_OBJECT
public:
    explicit Txyplot_F(Tmain_F& main);

    // The choosers (item index = display catalogue index) and the fit toggle.
    QComboBox* x_CB = nullptr;
    QComboBox* y_CB = nullptr;
    QCheckBox* fit_CB = nullptr;

    // What the chart shows now.
    const xy_chart_input& input() const { return input_; }

protected:
    void take_state() override;
    void draw(QPainter& painter, int width, int height) const override;
    QString picture_name() const override { return QStringLiteral("xy_plot.svg"); }

private:
    xy_chart_input input_;
};

#endif
