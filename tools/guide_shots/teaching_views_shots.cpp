// SPDX-License-Identifier: Apache-2.0
// Screenshots of the two teaching views for the guide's lessons: the O2
// dissociation curve (standard subject, the Bohr shift on 7 % CO2, anaemia
// against hypoxaemia) and the X-Y plot (the CO2 response line).
#include <QCheckBox>
#include <QComboBox>

#include "guide_shots.h"
#include "o2_curve_window.h"
#include "xy_plot_window.h"

namespace {

constexpr int inspired_co2 = 15;  // factor "Inspired CO2 percentage" (factor row 1)
constexpr int inspired_o2 = 16;   // factor "Inspired O2 percentage" (factor row 0)
constexpr int haemoglobin = 12;   // factor "Haemoglobin blood density"
constexpr int arterial_pco2 = 10;
constexpr int total_ventilation = 55;

QImage o2_curve(guide_session& s)
{
    s.window().o2_curve_IClick();
    return s.grab_dialog(s.window().o2_curve_F);
}

TOLVANE_GUIDE_SHOT("o2_curve_standard", [](guide_session& s) {
    s.run(3);
    return o2_curve(s);
});

TOLVANE_GUIDE_SHOT("o2_curve_co2_7pct", [](guide_session& s) {
    s.run(1);
    s.set_factor(1, inspired_co2, QStringLiteral("7"));
    s.run(5);
    return o2_curve(s);
});

TOLVANE_GUIDE_SHOT("o2_curve_anaemia", [](guide_session& s) {
    s.set_factor(5, haemoglobin, QStringLiteral("7"));
    s.run(5);
    return o2_curve(s);
});

TOLVANE_GUIDE_SHOT("o2_curve_hypoxaemia", [](guide_session& s) {
    s.set_factor(0, inspired_o2, QStringLiteral("12"));
    s.run(5);
    return o2_curve(s);
});

TOLVANE_GUIDE_SHOT("xy_co2_response", [](guide_session& s) {
    s.run(2);
    s.set_factor(1, inspired_co2, QStringLiteral("5"));
    s.run(10);
    s.window().xy_plot_IClick();
    Txyplot_F& xy = *s.window().xy_plot_F;
    xy.x_CB->setCurrentIndex(arterial_pco2);
    xy.y_CB->setCurrentIndex(total_ventilation);
    xy.fit_CB->setChecked(true);
    return s.grab_dialog(&xy);
});

}  // namespace
