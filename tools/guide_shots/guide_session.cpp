// SPDX-License-Identifier: Apache-2.0
#include "guide_shots.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "about_window.h"
#include "respiration_dialog.h"
#include "trend_plot.h"

bool guide_main_window::ask_ok_cancel(const QString& text)
{
    messages << text;
    return true;
}

std::optional<QString> guide_main_window::save_file_dialog(const file_dialog_request&)
{
    if (next_save_path.isEmpty()) return std::nullopt;
    return next_save_path;
}

std::vector<guide_shot>& guide_shots()
{
    static std::vector<guide_shot> shots;
    return shots;
}

int register_guide_shot(const char* name, shot_function take)
{
    guide_shots().push_back({QString::fromUtf8(name), std::move(take)});
    return 0;
}

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace

guide_session::guide_session()
{
    window_ = std::make_unique<guide_main_window>();
    about_ = std::make_unique<Tabout_F>(window_.get());
    respiration_ = std::make_unique<Trespiration_F>(window_.get());
    // As the program opens: at the laid-out size.
    window_->resize(window_->default_size());
    window_->show();
    window_->activateWindow();
    settle();
}

guide_session::~guide_session()
{
    // The catalogue is the model's, shared by every session: back to mm Hg.
    window_->trad_RB->click();
    settle();
}

void guide_session::run(int n)
{
    for (int i = 0; i < n; ++i) {
        window_->run_B->setFocus(Qt::MouseFocusReason);
        window_->run_B->click();
    }
    settle();
}

void guide_session::set_factor(int row, int index, const QString& value)
{
    auto& r = window_->factor_rows[static_cast<size_t>(row)];
    if (index >= 0) r.dsn_CB->setCurrentIndex(index);
    r.vlu_E->setFocus(Qt::MouseFocusReason);
    r.vlu_E->setText(value);
    window_->run_B->setFocus(Qt::MouseFocusReason);  // leaving the field enters it
    settle();
}

void guide_session::set_display(int row, int index)
{
    window_->display_rows[static_cast<size_t>(row)].dsn_CB->setCurrentIndex(index);
    settle();
}

void guide_session::click_plot_at(int t)
{
    const run_state& state = window_->sim().state();
    window_->sim().mouse_down(plot_time_origin_x + t - state.win_start, 200);
    settle();
}

QImage guide_session::grab_window()
{
    settle();
    return window_->grab().toImage();
}

QImage guide_session::grab_with_menu(const QString& title)
{
    QMenu* menu = nullptr;
    QAction* action = nullptr;
    for (QAction* a : window_->menuBar()->actions())
        if (a->menu() && a->text().remove(QLatin1Char('&')) == title) {
            menu = a->menu();
            action = a;
        }
    QImage image = grab_window();
    if (!menu) return image;
    const QPoint at = window_->menuBar()->actionGeometry(action).bottomLeft();
    menu->popup(window_->menuBar()->mapToGlobal(at));
    window_->menuBar()->setActiveAction(action);
    settle();
    image = grab_window();
    const QImage popup = menu->grab().toImage();
    menu->hide();
    window_->menuBar()->setActiveAction(nullptr);
    QPainter painter(&image);
    painter.drawImage(window_->menuBar()->mapTo(window_.get(), at), popup);
    painter.end();
    settle();
    return image;
}

QImage guide_session::grab_dialog(QWidget* dialog)
{
    dialog->show();
    settle();
    const QImage image = dialog->grab().toImage();
    dialog->hide();
    settle();
    return image;
}
