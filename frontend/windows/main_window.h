// SPDX-License-Identifier: Apache-2.0
// The main window Tmain_F: the trend plot across the top, the message strip
// with the hint and clinical memos, the control, passport, factor and display
// panels, and the main menu. It implements ui_port for the front-end logic and
// only wires its controls to the simulator's operations.
//
// Tests replace the modal parts (message boxes, beep, file dialogs) by deriving
// from Tmain_F and overriding those ui_port members; the menu handlers of the
// other windows reach them through ui() as well, so no test blocks on a box.
#ifndef TOLVANE_MAIN_WINDOW_H
#define TOLVANE_MAIN_WINDOW_H

#include <QMainWindow>
#include <QImage>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "panel_logic.h"
#include "reference_run.h"
#include "event_marks.h"
#include "report.h"
#include "scenario_player.h"
#include "simulator.h"
#include "ui_port.h"

class QAction;
class QCloseEvent;
class QComboBox;
class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTextBrowser;
class QTimer;
class QTreeWidget;
class QUrl;
class plot_stage;
class To2curve_F;
class Txyplot_F;

// The central widget: the window's own surface. It paints the trend plot and
// passes presses that fall on no child control, resizes and paints to its owner.
class plot_surface : public QWidget {
public:
    explicit plot_surface(QWidget* parent = nullptr);
    std::function<void(QPainter&)> on_paint;
    std::function<void(Qt::MouseButton, QPoint)> on_press;
    std::function<void()> on_resize;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

class Tmain_F : public QMainWindow, public ui_port {
    Q_OBJECT
public:
    // Builds every control, then runs the construction steps (tooltips,
    // estab_pnt, mm Hg, restart_subject) and FormCreate (rows, colours, lists,
    // selections, panels for time 0). Sets main_F.
    explicit Tmain_F(QWidget* parent = nullptr);
    ~Tmain_F() override;

    // The subject, its run state, selections and controller.
    simulator& sim() { return sim_; }
    // This window as the logic's interface (message boxes go through it).
    ui_port& ui() { return *this; }

    // Size limits of the window as laid out: outer sizes, title bar, border
    // and menu bar included. The client area is the outer width less the
    // border (1014: the plot's border meets the panels' right edge, panels
    // from 2 to 1014) and 694 high at the smallest outer height (the layout's
    // design height), 105 more at the largest. The window's own height is
    // that client height plus this menu bar's.
    static constexpr int window_width = 1022;
    static constexpr int minimum_height = 740;
    static constexpr int maximum_height = 845;
    static constexpr int frame_width = 8;
    static constexpr int minimum_client_height = 694;

    // Client (central widget) width, the plot's cw.
    int client_width() const;
    // The size the window opens at: the client area as laid out at its
    // tallest (1014 x 799) with the menu bar above and the status line below.
    QSize default_size() const;
    // Shrinks the window to the screen's available room when it does not fit.
    void fit_to_screen();
    // The decoded logo (null if it could not be decoded).
    const QImage& logo() const { return logo_image_; }

    // --- ui_port ---------------------------------------------------------------
    void set_control_enabled(ui_control control, bool enabled) override;
    void beep() override;
    void show_warning(const QString& text) override;
    void show_error(const QString& text) override;
    void show_information(const QString& text) override;
    void show_message(const QString& text) override;
    bool ask_ok_cancel(const QString& text) override;
    void append_clinical_text(const QString& text) override;
    void clear_clinical_text() override;
    QString clinical_text() const override;
    void set_hint_text(const QString& text) override;
    void start_hint_timer(int milliseconds) override;
    void stop_hint_timer() override;
    void redraw_main() override;
    void set_passport_fields(const passport_texts& texts) override;
    std::optional<QString> open_file_dialog(const file_dialog_request& request) override;
    std::optional<QString> save_file_dialog(const file_dialog_request& request) override;
    void set_caption(const QString& caption) override;

    // --- controls, named as in the layout ---------------------------------------
    plot_stage* stage = nullptr;  // the central widget; holds the surface
    plot_surface* surface = nullptr;
    QLabel* tolvane_I = nullptr;
    QFrame* message_P = nullptr;
    QLabel* hint_L = nullptr;
    QPlainTextEdit* hint_M = nullptr;
    QLabel* clinical_L = nullptr;
    QPlainTextEdit* clinical_M = nullptr;
    QFrame* control_P = nullptr;
    QLabel* control_L = nullptr;
    QPushButton* run_B = nullptr;
    QPushButton* rerun_B = nullptr;
    QPushButton* reset_B = nullptr;
    QPushButton* back_B = nullptr;
    QPushButton* forward_B = nullptr;
    QFrame* passport_P = nullptr;
    QLabel* passport_L = nullptr;
    QLineEdit* height_E = nullptr;
    QLineEdit* weight_E = nullptr;
    QLineEdit* bmi_E = nullptr;
    QLineEdit* age_E = nullptr;
    QComboBox* sex_CB = nullptr;
    QFrame* factor_P = nullptr;
    QLabel* factor_L = nullptr;
    QLabel* press_L = nullptr;
    QRadioButton* trad_RB = nullptr;
    QRadioButton* metric_RB = nullptr;
    QFrame* display_P = nullptr;
    QLabel* display_L = nullptr;
    QLabel* time_L = nullptr;
    QLineEdit* time_E = nullptr;

    // One row of the factor or display panel.
    struct panel_row {
        QComboBox* dsn_CB = nullptr;
        QLineEdit* vlu_E = nullptr;
        QLabel* unit_L = nullptr;
    };
    std::array<panel_row, panel_rows> factor_rows{};
    std::array<panel_row, panel_rows> display_rows{};

    QAction* load_I = nullptr;
    QAction* save_I = nullptr;
    QAction* print_I = nullptr;
    QAction* exit_I = nullptr;
    QAction* display_I = nullptr;
    QAction* factor_I = nullptr;
    QAction* about_I = nullptr;
    QAction* respiration_I = nullptr;
    QTimer* time_out_T = nullptr;

    // Added after the laid-out menus: File, export of data and picture
    // (main_window_export.cpp); View, the reference run
    // (main_window_reference.cpp); Help and F5 for RUN (main_window_additions.cpp).
    QAction* export_data_I = nullptr;
    QAction* export_picture_I = nullptr;
    QAction* keep_reference_I = nullptr;
    QAction* clear_reference_I = nullptr;
    QAction* guide_I = nullptr;
    QAction* help_about_I = nullptr;
    QAction* run_key_I = nullptr;
    // What RUN's tooltip adds to its laid-out text: the key that runs.
    static inline const QString run_key_tooltip = QStringLiteral("  (F5)");
    // Beside each display value: the reference's value at the panel time.
    std::array<QLabel*, panel_rows> reference_L{};

    // The run kept for comparison (every second since the subject's start
    // is the session's log).
    const std::optional<reference_run>& reference() const { return reference_; }
    // Where the user guide (docs/guide.md with its pictures) lies among the
    // program's compiled-in resources; Help > User guide shows it.
    static constexpr const char* guide_resource = "qrc:/guide.md";
    QDialog* guide_F = nullptr;
    QTextBrowser* guide_browser = nullptr;
    // Opens a document with the desktop's viewer (a link of the guide to
    // another document); tests replace it.
    virtual bool open_url(const QUrl& url);
    // What "&Print ..." puts on the page now, the reference run included.
    report_input report_input_now() const;
    // The plot as "Export picture ..." writes it.
    QByteArray plot_picture_bytes(const QString& path);

    // View, the teaching views after the other items (main_window_views.cpp);
    // each window is made at its first showing and lives with this one.
    QAction* o2_curve_I = nullptr;
    QAction* xy_plot_I = nullptr;
    To2curve_F* o2_curve_F = nullptr;
    Txyplot_F* xy_plot_F = nullptr;

    // The classroom additions (main_window_classroom.cpp): scenarios in the
    // File menu before Exit, the event list, the whole run and full screen
    // in the View menu, and the status line of what the subject breathes.
    QAction* open_scenario_I = nullptr;
    QAction* save_scenario_I = nullptr;
    QAction* events_I = nullptr;
    QAction* whole_run_I = nullptr;
    QAction* full_screen_I = nullptr;
    QLabel* breathing_L = nullptr;
    QDialog* events_F = nullptr;
    QTreeWidget* events_list = nullptr;
    // The script played as RUN is pressed (none playing at first).
    const scenario_player& player() const { return player_; }
    // The event-list rows, the status line and the plot marks follow the run.
    void show_events();
    // Plays script (a path) from the subject the program started with;
    // false, with an error box, when it cannot be read.
    bool open_scenario(const QString& path);
    // Writes the run's events as a script; false, with an error box, on failure.
    bool save_scenario(const QString& path);
    // Asks before a run with events not kept is discarded; true to go on.
    bool may_discard_run();
    // Loads the first argument after the program's name that is no option
    // (a subject file), as Load does with a chosen file; false when there is
    // none or it could not be loaded (an error box said why).
    bool open_from_command_line(const QStringList& arguments);
    // What the status line says the subject breathes now.
    static QString breathing_text();
    // Places the cursor at second t of the run as it stands (clamped to what
    // the history still holds) and shows the page that holds it.
    void move_cursor_to(int t);
    // View > Whole run: the plot fits the whole recorded run.
    bool whole_run() const { return whole_run_; }
    // The marks of the run's events as the plot draws them.
    std::vector<event_mark> current_marks() const;
    // Display d at second t of the whole run in the units in force.
    double whole_run_value(int d, int t) const;

signals:
    // After every redraw_main: the teaching views follow the run, the cursor
    // and the units.
    void redrawn();

public slots:
    // File menu: subject files (main_window_files.cpp).
    void load_IClick();
    void save_IClick();
    // File menu: printed report (main_window_print.cpp).
    void print_IClick();
    // View and Respiration menus (main_window_dialogs.cpp).
    void display_IClick();
    void factor_IClick();
    void about_IClick();
    void respiration_IClick();
    // File, Exit: ends the process at once with status 0.
    void exit_IClick();

    void run_BClick();
    void rerun_BClick();
    void back_BClick();
    void forward_BClick();
    void reset_BClick();
    void trad_RBClick();
    void metric_RBClick();
    void time_out_TTimer();

    // Added items (main_window_export/_reference/_additions.cpp).
    void export_data_IClick();
    void export_picture_IClick();
    void keep_reference_IClick();
    void clear_reference_IClick();
    void guide_IClick();
    void run_key_pressed();

    // View, teaching views (main_window_views.cpp).
    void o2_curve_IClick();
    void xy_plot_IClick();

    // File and View, classroom (main_window_classroom.cpp).
    void open_scenario_IClick();
    void save_scenario_IClick();
    void events_IClick();
    void whole_run_IClick();
    void full_screen_IClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the window asks as Exit does.
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void build_menu();
    // Shortcuts of the laid-out items and the items added after them.
    void build_added_menu_items(QMenu* file, QMenu* view);
    // The teaching views' View items, last in the menu.
    void build_view_items(QMenu* view);
    // Scenario items before Exit, event list, whole run, full screen, status line.
    void build_classroom_items(QMenu* file, QMenu* view);
    // Click selects a value field's text; Enter takes the value.
    void build_value_entry();
    // Before a RUN: the played script's actions due now.
    void play_due_actions();
    // After a RUN: a played script whose last run is over says so.
    void scenario_run_ended();
    void set_tooltips();
    void FormCreate();
    void FormResize();
    void FormPaint(QPainter& painter);
    // View > Whole run: draws the whole run instead of the page and returns
    // true; false (nothing drawn) when the page is due.
    bool paint_whole_run_instead(QPainter& painter);
    // Drawn over the page: the event marks and the reference's legend.
    void paint_plot_additions(QPainter& painter);
    void FormMouseDown(Qt::MouseButton button, QPoint point);
    // Alt+Left/Right (with Shift: large steps) and Alt+I; true when acted.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // A combo box of factor row `row` (or display row) changed by the user.
    void dsn_CBChange(bool factor_row, int row, int index);
    void factorExit();
    void passportExit();
    // Writes the three panels and time_E for time t (refresh_panels).
    void show_panels(int t);
    // Logo visibility and the time field's colour for the state now.
    void show_plot_controls();

    void build_reference_labels();
    // The reference's values beside the display values for time t.
    void show_reference_values(int t);

    simulator sim_;
    std::optional<reference_run> reference_;
    QImage logo_image_;
    QString clinical_text_;
    bool closing_ = false;  // set in the destructor: focus-outs are no entries
    scenario_player player_;
    bool whole_run_ = false;
    QRect normal_geometry_;  // where the window was before full screen
};

// The one main window, set by its constructor; null before and after.
extern Tmain_F* main_F;

#endif
