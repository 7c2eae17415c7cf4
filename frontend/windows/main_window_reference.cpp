// SPDX-License-Identifier: Apache-2.0
// View menu of the main window, added after the laid-out items: a run kept
// as reference, drawn dashed in the plot (see FormPaint) and shown as small
// grey values beside the display values, until it is cleared.
#include <QAction>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

#include "main_window.h"
#include "window_font.h"

namespace {

// Grey of the reference values, smaller than the values themselves.
const QColor reference_grey(128, 128, 128);
constexpr int reference_text_pixels = 9;
// The reference's value sits at the right end of the unit label's room
// (330 .. 443); after a long unit text it starts later and is squeezed.
constexpr int reference_left = 396;
constexpr int reference_width = 47;

}  // namespace

void Tmain_F::keep_reference_IClick()
{
    reference_ = reference_from(sim_.session(), sim_.subject_name());
    clear_reference_I->setEnabled(true);
    redraw_main();
}

void Tmain_F::clear_reference_IClick()
{
    reference_.reset();
    clear_reference_I->setEnabled(false);
    redraw_main();
}

void Tmain_F::build_reference_labels()
{
    for (int i = 0; i < panel_rows; ++i) {
        auto* label = new QLabel(display_P);
        label->setFont(window_font(reference_text_pixels));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, reference_grey);
        label->setPalette(palette);
        label->setGeometry(reference_left, 33 + 30 * i, reference_width, 21);
        label->setToolTip(QStringLiteral("value of the reference run at the cursor"));
        label->hide();
        reference_L[static_cast<size_t>(i)] = label;
    }
}

void Tmain_F::show_reference_values(int t)
{
    const panel_selection& selection = sim_.selection();
    for (int i = 0; i < panel_rows; ++i) {
        QLabel* label = reference_L[static_cast<size_t>(i)];
        if (!label) continue;
        const int d = selection.display_sel[static_cast<size_t>(i)];
        const bool shown = reference_ && reference_->holds(t) && d >= 0 && d < logged_displays;
        label->setVisible(shown);
        if (!shown) continue;
        const QString text = QString::asprintf("%.2f", reference_->value(sim_.state(), d, t));
        // Clear of the unit text: squeezed rather than over it.
        const QLabel* unit = display_rows[static_cast<size_t>(i)].unit_L;
        const int unit_end = unit->x() + unit->fontMetrics().horizontalAdvance(unit->text()) + 4;
        const int left = std::max(reference_left, unit_end);
        const int right = reference_left + reference_width;
        label->setGeometry(left, label->y(), std::max(1, right - left), label->height());
        label->setFont(font_fitting(window_font(reference_text_pixels), text, label->width()));
        label->setText(text);
    }
}
