// SPDX-License-Identifier: Apache-2.0
// The user guide's screenshots, taken from the real windows offscreen so that
// they show what the program shows today. Each shot is a function that drives
// a fresh session (a new main window on the standard subject) and returns the
// picture; a file of shots registers its functions with TOLVANE_GUIDE_SHOT.
// To add shots for another window, add a *_shots.cpp file here: it is built
// into the tool, and every shot that docs/guide.md names is checked by ctest.
#ifndef TOLVANE_GUIDE_SHOTS_H
#define TOLVANE_GUIDE_SHOTS_H

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "main_window.h"

class QMenu;
class Tabout_F;
class Trespiration_F;

// A main window whose message boxes and file dialogs answer without a person:
// boxes are recorded, file dialogs return the path set in next_save_path.
class guide_main_window : public Tmain_F {
public:
    QStringList messages;
    QString next_save_path;
    void show_warning(const QString& text) override { messages << text; }
    void show_error(const QString& text) override { messages << text; }
    void show_information(const QString& text) override { messages << text; }
    void show_message(const QString& text) override { messages << text; }
    bool ask_ok_cancel(const QString& text) override;
    std::optional<QString> open_file_dialog(const file_dialog_request&) override { return std::nullopt; }
    std::optional<QString> save_file_dialog(const file_dialog_request&) override;
    bool open_url(const QUrl&) override { return true; }
};

// The program's windows as a user starts them, shown offscreen.
class guide_session {
public:
    guide_session();
    ~guide_session();

    guide_main_window& window() { return *window_; }
    Trespiration_F& respiration() { return *respiration_; }

    // RUN clicked n times (one minute each from a minute mark).
    void run(int n = 1);
    // Factor row `row` set to catalogue factor `index` (-1 keeps the row's
    // factor) and `value` typed into its field, entered as on leaving it.
    void set_factor(int row, int index, const QString& value);
    // Display row `row` set to display variable `index`.
    void set_display(int row, int index);
    // A left click on the plot at time t (seconds) of the plotted window.
    void click_plot_at(int t);

    // The whole window as the screen shows it (menu bar included).
    QImage grab_window();
    // The window with menu `menu` of the menu bar open below its title.
    QImage grab_with_menu(const QString& title);
    // A dialog or second window, shown without blocking, then hidden.
    QImage grab_dialog(QWidget* dialog);

private:
    std::unique_ptr<guide_main_window> window_;
    std::unique_ptr<Tabout_F> about_;
    std::unique_ptr<Trespiration_F> respiration_;
};

using shot_function = std::function<QImage(guide_session&)>;

struct guide_shot {
    QString name;  // the file is NAME.png
    shot_function take;
};

// Every registered shot, in registration order within each file.
std::vector<guide_shot>& guide_shots();

// Adds a shot; returns a dummy so a file-scope constant can call it.
int register_guide_shot(const char* name, shot_function take);

#define TOLVANE_GUIDE_SHOT_JOIN2(a, b) a##b
#define TOLVANE_GUIDE_SHOT_JOIN(a, b) TOLVANE_GUIDE_SHOT_JOIN2(a, b)
// TOLVANE_GUIDE_SHOT("name", [](guide_session& s) { ...; return s.grab_window(); });
#define TOLVANE_GUIDE_SHOT(name, ...) \
    static const int TOLVANE_GUIDE_SHOT_JOIN(guide_shot_, __LINE__) = register_guide_shot(name, __VA_ARGS__)

#endif
