// SPDX-License-Identifier: Apache-2.0
#include "xy_plot_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

#include "main_window.h"
#include "model_host.h"
#include "slot_ids.h"
#include "xy_plot.h"

namespace {

// The CO2 response at first: ventilation against arterial PCO2.
constexpr int first_x = display_id::arterial_pco2;
constexpr int first_y = display_id::total_ventilation;

QComboBox* variable_chooser(QWidget* parent, int selected)
{
    auto* chooser = new QComboBox(parent);
    // Every display variable but the final "No display", in catalogue order,
    // so that the item index is the catalogue index.
    for (int i = 0; i + 1 < model_host::display_count(); ++i)
        chooser->addItem(QString::fromStdString(model_host::display_name(i)).trimmed());
    chooser->setCurrentIndex(selected);
    chooser->setMinimumContentsLength(24);
    chooser->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return chooser;
}

}  // namespace

Txyplot_F::Txyplot_F(Tmain_F& main) : chart_window(main, QStringLiteral("X\u2013Y plot"), QSize(640, 520))
{
    x_CB = variable_chooser(this, first_x);
    y_CB = variable_chooser(this, first_y);
    fit_CB = new QCheckBox(QStringLiteral("fit"), this);
    fit_CB->setToolTip(QStringLiteral("scales from the data instead of the variables' limits"));
    int at = 0;
    controls_row()->insertWidget(at++, new QLabel(QStringLiteral("X:"), this));
    controls_row()->insertWidget(at++, x_CB, 1);
    controls_row()->insertWidget(at++, new QLabel(QStringLiteral("Y:"), this));
    controls_row()->insertWidget(at++, y_CB, 1);
    controls_row()->insertWidget(at++, fit_CB);
    connect(x_CB, &QComboBox::currentIndexChanged, this, &Txyplot_F::refresh);
    connect(y_CB, &QComboBox::currentIndexChanged, this, &Txyplot_F::refresh);
    connect(fit_CB, &QCheckBox::toggled, this, &Txyplot_F::refresh);
    take_state();
}

void Txyplot_F::take_state()
{
    simulator& sim = main_.sim();
    input_ = xy_chart_input_from(sim.state(), x_CB->currentIndex(), y_CB->currentIndex(), sim.panel_time(),
                                 fit_CB->isChecked());
}

void Txyplot_F::draw(QPainter& painter, int width, int height) const
{
    draw_xy_chart(painter, width, height, input_);
}
