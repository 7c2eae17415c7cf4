// SPDX-License-Identifier: Apache-2.0
// What a class needs beyond the laid-out window: scenario scripts in the File
// menu (played as RUN is pressed, or written from the run's events), the
// event list, the whole run and full screen in the View menu, the status line
// of what the subject breathes, and a question before a run with events not
// kept is discarded. Everything here comes after the laid-out items.
#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QGuiApplication>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "breathing_circuit.h"
#include "model_host.h"
#include "plot_geometry.h"
#include "plot_legend.h"
#include "main_window.h"
#include "picture_export.h"
#include "pressure_units.h"
#include "result_text.h"

namespace {

// A click into a value field selects its whole text, so typing replaces it.
class select_on_click : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn &&
            static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
            // After the press that gave the focus has placed the text cursor.
            if (auto* field = qobject_cast<QLineEdit*>(watched))
                QTimer::singleShot(0, field, [field] { field->selectAll(); });
        }
        return false;
    }
};

}  // namespace

void Tmain_F::build_value_entry()
{
    auto* selector = new select_on_click(this);
    std::vector<QLineEdit*> fields{height_E, weight_E, age_E};
    for (const panel_row& row : factor_rows) fields.push_back(row.vlu_E);
    for (QLineEdit* field : fields) {
        field->installEventFilter(selector);
        // Enter takes the value as leaving the field does, and selects it
        // for the next one.
        const bool factor_field = field != height_E && field != weight_E && field != age_E;
        connect(field, &QLineEdit::returnPressed, this, [this, field, factor_field] {
            if (closing_) return;
            if (factor_field)
                factorExit();
            else
                passportExit();
            field->selectAll();
        });
    }
}

void Tmain_F::build_classroom_items(QMenu* file, QMenu* view)
{
    build_value_entry();
    // Exit stays last: it moves, with its separator, after the scenario items.
    const QList<QAction*> items = file->actions();
    const qsizetype exit_at = items.indexOf(exit_I);
    if (exit_at > 0 && items[exit_at - 1]->isSeparator()) file->removeAction(items[exit_at - 1]);
    file->removeAction(exit_I);
    file->addSeparator();
    open_scenario_I =
        file->addAction(QStringLiteral("Open sce&nario ..."), this, &Tmain_F::open_scenario_IClick);
    save_scenario_I =
        file->addAction(QStringLiteral("Save as scenar&io ..."), this, &Tmain_F::save_scenario_IClick);
    file->addSeparator();
    file->addAction(exit_I);

    view->addSeparator();
    events_I = view->addAction(QStringLiteral("E&vents"), this, &Tmain_F::events_IClick);
    whole_run_I = view->addAction(QStringLiteral("&Whole run"), this, &Tmain_F::whole_run_IClick);
    whole_run_I->setCheckable(true);
    full_screen_I = view->addAction(QStringLiteral("F&ull screen"), this, &Tmain_F::full_screen_IClick);
    full_screen_I->setCheckable(true);
    full_screen_I->setShortcut(QKeySequence(Qt::Key_F11));
    // F11 also leaves full screen when the menu bar is out of reach.
    addAction(full_screen_I);

    breathing_L = new QLabel(this);
    breathing_L->setFont(font());
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(breathing_L, 1);
    connect(this, &Tmain_F::redrawn, this, &Tmain_F::show_events);
}

QString Tmain_F::breathing_text() { return ::breathing_text(); }

// --- scenarios -------------------------------------------------------------------

void Tmain_F::play_due_actions()
{
    if (!player_.playing() || !run_B->isEnabled()) return;
    const script_run_result done = player_.act_due(sim_);
    if (!done.notes.isEmpty()) ui().show_information(done.notes.join(QLatin1Char('\n')));
    if (!done.status.ok()) ui().show_error(QString::fromStdString(done.status.message()));
    if (trad_RB->isChecked() == sim_.state().si_pressure) trad_RB->setChecked(!sim_.state().si_pressure);
    redraw_main();
}

void Tmain_F::scenario_run_ended()
{
    if (!player_.playing()) return;
    player_.pass_reached_end(sim_.state().sim_time);
    if (!player_.playing())
        sim_.controller().show_hint_text(
            QStringLiteral("Scenario %1 played to its end").arg(QFileInfo(player_.file_name()).fileName()),
            false);
}

bool Tmain_F::open_scenario(const QString& path)
{
    const script_parse_result parsed = read_scenario_script(path);
    if (!parsed.status.ok()) {
        ui().show_error(QString::fromStdString(parsed.status.message()));
        return false;
    }
    // As tolvane-batch plays it: the subject the program started with, mm Hg.
    sim_.restart_builtin_subject();
    trad_RB->setChecked(true);
    set_caption(QStringLiteral("Tolvane    ") + path);
    player_.start(parsed.script);
    redraw_main();
    return true;
}

void Tmain_F::open_scenario_IClick()
{
    if (sim_.controller().busy() || !may_discard_run()) return;
    const std::optional<QString> path = ui().open_file_dialog(
        {QStringLiteral("Open scenario"), QStringLiteral("*.txt"),
         QStringLiteral("Scenario scripts (*.txt *.TXT);;All files (*)"), QStringLiteral("txt"), QString()});
    if (!path || path->isEmpty()) return;
    open_scenario(*path);
}

bool Tmain_F::save_scenario(const QString& path)
{
    const QDir folder = QFileInfo(path).absoluteDir();
    // A subject file beside the script (or below it) is named relative to
    // it, so the two can be handed on together.
    const auto load_path = [&folder](const std::string& loaded) {
        const QString relative = folder.relativeFilePath(QString::fromStdString(loaded));
        if (relative.startsWith(QLatin1String(".."))) return loaded;
        return relative.toStdString();
    };
    const std::string text = sim_.controller().events().scenario_text(sim_.state().sim_time, load_path);
    const save_result written = write_exported_file(path, QByteArray::fromStdString(text));
    if (!written.ok()) {
        ui().show_error(message_text(written));
        return false;
    }
    sim_.controller().events().mark_kept();
    return true;
}

void Tmain_F::save_scenario_IClick()
{
    if (sim_.controller().busy()) return;
    std::optional<QString> path = ui().save_file_dialog(
        {QStringLiteral("Save as scenario"), QStringLiteral("lesson.txt"),
         QStringLiteral("Scenario scripts (*.txt *.TXT)"), QStringLiteral("txt"), QString()});
    if (!path || path->isEmpty()) return;
    if (QFileInfo(*path).suffix().isEmpty()) *path += QStringLiteral(".txt");
    if (QFileInfo::exists(*path) && !ui().ask_ok_cancel(QStringLiteral("file exists, overwrite?"))) return;
    save_scenario(*path);
}

bool Tmain_F::open_from_command_line(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(QLatin1Char('-'))) continue;
        return sim_.load_chosen_file(QFileInfo(arguments[i]).absoluteFilePath()).ok();
    }
    return false;
}

bool Tmain_F::may_discard_run()
{
    const event_log& events = sim_.controller().events();
    if (!events.unsaved()) return true;
    // A subject loaded or reset and not yet run is no work to lose.
    const bool worked = sim_.state().latest_time > 0 ||
                        std::any_of(events.all().begin(), events.all().end(), [](const run_event& e) {
                            return e.kind != run_event_kind::load && e.kind != run_event_kind::reset;
                        });
    if (!worked) return true;
    return ui().ask_ok_cancel(
        QStringLiteral("The run has events that were not saved as a scenario, exported or printed. "
                       "Discard them?"));
}

void Tmain_F::closeEvent(QCloseEvent* event)
{
    if (may_discard_run())
        event->accept();
    else
        event->ignore();
}

// --- events ----------------------------------------------------------------------

void Tmain_F::events_IClick()
{
    if (!events_F) {
        events_F = new QDialog(this, Qt::Tool);
        events_F->setWindowTitle(QStringLiteral("Events"));
        events_list = new QTreeWidget(events_F);
        events_list->setColumnCount(4);
        events_list->setHeaderLabels(
            {QStringLiteral("No."), QStringLiteral("Time"), QStringLiteral("What"), QStringLiteral("Value")});
        events_list->setRootIsDecorated(false);
        events_list->header()->setStretchLastSection(true);
        auto* layout = new QVBoxLayout(events_F);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(events_list);
        events_F->resize(520, 260);
        connect(events_list, &QTreeWidget::itemClicked, this,
                [this](QTreeWidgetItem* item) { move_cursor_to(item->data(1, Qt::UserRole).toInt()); });
    }
    events_F->show();
    events_F->raise();
    show_events();
}

void Tmain_F::show_events()
{
    if (breathing_L) {
        QString line = breathing_text();
        if (player_.playing())
            line += QStringLiteral("    |    Scenario %1: next %2")
                        .arg(QFileInfo(player_.file_name()).fileName(), player_.next_action_text());
        breathing_L->setText(line);
    }
    if (!events_list || !events_F->isVisible()) return;
    const std::vector<run_event> branch = sim_.controller().events().current_branch();
    events_list->clear();
    int number = 0;
    for (const run_event& event : branch) {
        auto* item = new QTreeWidgetItem(events_list);
        item->setText(0, QString::number(++number));
        item->setText(1, format_minutes_seconds(event.time));
        item->setData(1, Qt::UserRole, event.time);
        item->setText(2, QString::fromStdString(event.what));
        item->setText(3, QString::fromStdString(event.value));
    }
    for (int c = 0; c < 3; ++c) events_list->resizeColumnToContents(c);
}

void Tmain_F::move_cursor_to(int t)
{
    if (sim_.controller().busy()) return;
    run_state& state = sim_.state();
    const int oldest = std::max(0, state.latest_time - history_table_columns + 1);
    t = std::clamp(t, oldest, state.sim_time);
    state.cursor_time = t;
    state.cursor_pinned = true;
    const int page = client_width() - 320;
    if (t < state.win_start || t > state.win_start + page)
        state.win_start = std::max({0, t - t % 60 - 60, state.latest_time - history_table_columns});
    sim_.controller().redraw_main();
}

std::vector<event_mark> Tmain_F::current_marks() const
{
    return event_marks(sim_.controller().events().current_branch());
}

double Tmain_F::whole_run_value(int d, int t) const
{
    if (d < 0 || d >= logged_displays || t < 0 || t >= sim_.session().logged_seconds()) return 0.0;
    const double stored = sim_.session().logged(d, t);
    return sim_.state().si_pressure && model_host::pressure_display(d) ? mmhg_to_kpa(stored) : stored;
}

bool Tmain_F::paint_whole_run_instead(QPainter& painter)
{
    if (!whole_run_ || sim_.state().credits_shown) return false;
    paint_whole_run(
        painter, client_width(), sim_.state(), sim_.selection().display_sel, sim_.session().logged_seconds(),
        [this](int d, int t) { return whole_run_value(d, t); }, current_marks());
    if (reference_) draw_reference_legend(painter, client_width(), reference_title(*reference_));
    return true;
}

void Tmain_F::paint_plot_additions(QPainter& painter)
{
    draw_page_event_marks(painter, client_width(), sim_.state(), current_marks());
    if (reference_) draw_reference_legend(painter, client_width(), reference_title(*reference_));
}

// --- projecting ---------------------------------------------------------------------

QSize Tmain_F::default_size() const
{
    return {window_width - frame_width, menuBar()->sizeHint().height() + statusBar()->sizeHint().height() +
                                            minimum_client_height + (maximum_height - minimum_height)};
}

void Tmain_F::fit_to_screen()
{
    const QScreen* room = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!room) return;
    const QRect available = room->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    const QSize fits = size().boundedTo(available.size() - frame);
    if (fits != size()) {
        // The laid-out size does not fit this screen: the layout scales down.
        setMinimumSize(320, 240);
        resize(fits);
        move(available.topLeft());
    }
}

void Tmain_F::whole_run_IClick()
{
    whole_run_ = whole_run_I->isChecked();
    surface->update();
}

void Tmain_F::full_screen_IClick()
{
    if (isFullScreen()) {
        showNormal();
        if (normal_geometry_.isValid()) setGeometry(normal_geometry_);
        full_screen_I->setChecked(false);
    } else {
        normal_geometry_ = geometry();
        showFullScreen();
        // Without a window manager to honour the request, take the screen too.
        if (const QScreen* room = screen()) setGeometry(room->geometry());
        full_screen_I->setChecked(true);
    }
}
