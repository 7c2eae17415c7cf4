// SPDX-License-Identifier: Apache-2.0
#include "o2_curve_window.h"

#include <QHBoxLayout>
#include <QLabel>

#include "main_window.h"

To2curve_F::To2curve_F(Tmain_F& main)
    : chart_window(main, QStringLiteral("O2 dissociation curve"), QSize(640, 460))
{
    auto* note = new QLabel(
        QStringLiteral("filled: arterial point    hollow: mixed venous point (by its O2 content)"), this);
    controls_row()->insertWidget(0, note);
    take_state();
}

void To2curve_F::take_state()
{
    simulator& sim = main_.sim();
    view_ = o2_curve_view_at(sim.state(), sim.panel_time());
    colours_ = o2_point_colours_for(sim.selection().display_sel);
}

void To2curve_F::draw(QPainter& painter, int width, int height) const
{
    draw_o2_curve_chart(painter, width, height, view_, colours_);
}
