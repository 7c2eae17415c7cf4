// SPDX-License-Identifier: Apache-2.0
#include "main_window.h"
#include "main_window_layout.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "embedded_pictures.h"
#include "plot_stage.h"
#include "jpeg_image.h"
#include "model_host.h"
#include "trend_plot.h"
#include "window_font.h"

Tmain_F* main_F = nullptr;

// --- the window's own surface ------------------------------------------------

plot_surface::plot_surface(QWidget* parent) : QWidget(parent) { setAutoFillBackground(false); }

void plot_surface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (on_paint) on_paint(painter);
}

void plot_surface::mousePressEvent(QMouseEvent* event)
{
    // Presses on child controls belong to them (labels and panels included).
    const QPoint point = event->position().toPoint();
    if (childAt(point) == nullptr && on_press) on_press(event->button(), point);
    event->accept();
}

void plot_surface::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (on_resize) on_resize();
}

// --- construction -------------------------------------------------------------

namespace {

// A raised panel as the layout draws it.
QFrame* make_panel(QWidget* parent, int left, int top, int width, int height)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setGeometry(left, top, width, height);
    return panel;
}

QLabel* make_label(QWidget* parent, const QString& text, int left, int top, int pixels = window_text_pixels)
{
    auto* label = new QLabel(text, parent);
    label->setFont(window_font(pixels));
    label->adjustSize();
    label->move(left, top);
    return label;
}

// Line edits and combo boxes are 21 pixels tall, as the layout's controls.
constexpr int field_height = 21;

// Inner width that a field's frame and margins leave to its text.
constexpr int field_text_allowance = 8;

// The fields are 40 pixels wide, laid out for a narrower face: a value such
// as "1987.00" or "10000.00" is squeezed horizontally until it fits, rather
// than losing its last digits.
void fit_field_text(QLineEdit* field)
{
    const QFont fitted = font_fitting(field->font(), field->text(), field->width() - field_text_allowance);
    if (field->font().stretch() != fitted.stretch()) field->setFont(fitted);
}

QLineEdit* make_field(QWidget* parent, const QString& text, int left, int top, int width, bool read_only)
{
    auto* field = new QLineEdit(text, parent);
    field->setGeometry(left, top, width, field_height);
    field->setReadOnly(read_only);
    field->setFont(window_font());
    field->setTextMargins(0, 0, 0, 0);
    field->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px 1px; }"));
    QObject::connect(field, &QLineEdit::textChanged, field, [field] { fit_field_text(field); });
    fit_field_text(field);
    return field;
}

QComboBox* make_list(QWidget* parent, int left, int top, int width)
{
    auto* list = new QComboBox(parent);
    list->setGeometry(left, top, width, field_height);
    list->setEditable(false);
    return list;
}

QPushButton* make_button(QWidget* parent, const QString& text, int left, int top)
{
    auto* button = new QPushButton(text, parent);
    button->setGeometry(left, top, 50, 25);
    return button;
}

QPlainTextEdit* make_memo(QWidget* parent, int left, int top, int width, int height)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setGeometry(left, top, width, height);
    memo->setReadOnly(true);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->document()->setDocumentMargin(1);
    return memo;
}

// The same, placed by main_window_layout.
QFrame* make_panel(QWidget* parent, control_place p)
{
    return make_panel(parent, p.left, p.top, p.width, p.height);
}
QLabel* make_label(QWidget* parent, const QString& text, control_place p, int pixels = window_text_pixels)
{
    return make_label(parent, text, p.left, p.top, pixels);
}
QLineEdit* make_field(QWidget* parent, const QString& text, control_place p, bool read_only)
{
    return make_field(parent, text, p.left, p.top, p.width, read_only);
}
QComboBox* make_list(QWidget* parent, control_place p) { return make_list(parent, p.left, p.top, p.width); }
QPushButton* make_button(QWidget* parent, const QString& text, control_place p)
{
    return make_button(parent, text, p.left, p.top);
}
QPlainTextEdit* make_memo(QWidget* parent, control_place p)
{
    return make_memo(parent, p.left, p.top, p.width, p.height);
}

}  // namespace

Tmain_F::Tmain_F(QWidget* parent) : QMainWindow(parent), sim_(*this)
{
    main_F = this;
    setWindowTitle(QStringLiteral("Tolvane"));
    setFont(window_font());
    logo_image_ = decode_jpeg(embedded_bytes(logo_jpeg, logo_jpeg_size));

    build_controls();
    build_reference_labels();
    build_menu();
    // From the laid-out width and design height up to any size (the surface
    // then scales to fit, plot_stage); smaller only on a screen that is
    // (fit_to_screen). The status line lies below the client area.
    setMinimumSize(window_width - frame_width, default_size().height() - (maximum_height - minimum_height));
    resize(default_size());

    // Construction: tooltips, estab_pnt, mm Hg checked, restart_subject.
    set_tooltips();
    trad_RB->setChecked(true);
    metric_RB->setChecked(false);
    sim_.controller().set_client_width(client_width());
    sim_.start();
    FormCreate();

    // Key preview: the window sees every key press before the focused control.
    // A filter on each control (not on the application, whose filters may see
    // one press twice) sees a press once per control it reaches.
    installEventFilter(this);
    for (QWidget* control : findChildren<QWidget*>()) control->installEventFilter(this);
}

Tmain_F::~Tmain_F()
{
    // The focused field gets a focus-out while the window goes: no entry then.
    closing_ = true;
    removeEventFilter(this);
    for (QWidget* control : findChildren<QWidget*>()) control->removeEventFilter(this);
    if (main_F == this) main_F = nullptr;
}

int Tmain_F::client_width() const { return surface ? surface->width() : window_width - frame_width; }

void Tmain_F::build_controls()
{
    stage = new plot_stage(this, window_width - frame_width, minimum_client_height);
    setCentralWidget(stage);
    surface = new plot_surface(stage);
    surface->resize(window_width - frame_width, minimum_client_height);
    surface->on_paint = [this](QPainter& painter) { FormPaint(painter); };
    surface->on_press = [this](Qt::MouseButton button, QPoint point) { FormMouseDown(button, point); };
    surface->on_resize = [this] { FormResize(); };

    tolvane_I = new QLabel(surface);
    constexpr control_place logo = place_of("tolvane_I");
    static_assert(logo.width == logo_width && logo.height == logo_height);
    tolvane_I->setGeometry(logo.left, logo.top, logo.width, logo.height);
    tolvane_I->setScaledContents(true);  // the picture is stretched to the control
    if (!logo_image_.isNull()) tolvane_I->setPixmap(QPixmap::fromImage(logo_image_));
    tolvane_I->hide();

    message_P = make_panel(surface, place_of("message_P"));
    hint_L = make_label(message_P, QStringLiteral("Hint:"), place_of("hint_L"));
    hint_M = make_memo(message_P, place_of("hint_M"));
    hint_M->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hint_M->setLineWrapMode(QPlainTextEdit::NoWrap);  // one line, squeezed to fit
    clinical_L = make_label(message_P, QStringLiteral("Clinical:"), place_of("clinical_L"));
    clinical_M = make_memo(message_P, place_of("clinical_M"));
    clinical_M->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    clinical_M->setTabChangesFocus(true);  // Enter and Tab are not taken as text

    control_P = make_panel(surface, place_of("control_P"));
    control_L = make_label(control_P, QStringLiteral("Control:"), place_of("control_L"), heading_text_pixels);
    run_B = make_button(control_P, QStringLiteral("RUN"), place_of("run_B"));
    rerun_B = make_button(control_P, QStringLiteral("RE-RUN"), place_of("rerun_B"));
    reset_B = make_button(control_P, QStringLiteral("RESET"), place_of("reset_B"));
    back_B = make_button(control_P, QStringLiteral("BACK"), place_of("back_B"));
    forward_B = make_button(control_P, QStringLiteral("F'WARD"), place_of("forward_B"));
    // Form layout default: only RUN (and Print) enabled.
    for (QPushButton* button : {rerun_B, reset_B, back_B, forward_B}) button->setEnabled(false);
    connect(run_B, &QPushButton::clicked, this, &Tmain_F::run_BClick);
    connect(rerun_B, &QPushButton::clicked, this, &Tmain_F::rerun_BClick);
    connect(reset_B, &QPushButton::clicked, this, &Tmain_F::reset_BClick);
    connect(back_B, &QPushButton::clicked, this, &Tmain_F::back_BClick);
    connect(forward_B, &QPushButton::clicked, this, &Tmain_F::forward_BClick);

    passport_P = make_panel(surface, place_of("passport_P"));
    passport_L =
        make_label(passport_P, QStringLiteral("Passport:"), place_of("passport_L"), heading_text_pixels);
    height_E = make_field(passport_P, QStringLiteral("170"), place_of("height_E"), false);
    weight_E = make_field(passport_P, QStringLiteral("70.1"), place_of("weight_E"), false);
    bmi_E = make_field(passport_P, QStringLiteral("19"), place_of("bmi_E"), true);
    age_E = make_field(passport_P, QStringLiteral("23"), place_of("age_E"), false);
    sex_CB = make_list(passport_P, place_of("sex_CB"));
    sex_CB->addItems({QStringLiteral("female"), QStringLiteral("male")});
    sex_CB->setCurrentIndex(0);
    make_label(passport_P, QStringLiteral("height"), place_of("passport caption height"));
    make_label(passport_P, QStringLiteral("weight"), place_of("passport caption weight"));
    make_label(passport_P, QStringLiteral("BMI"), place_of("passport caption BMI"));
    make_label(passport_P, QStringLiteral("age"), place_of("passport caption age"));
    make_label(passport_P, QStringLiteral("sex"), place_of("passport caption sex"));
    make_label(passport_P, QStringLiteral("cm"), place_of("passport caption cm"));
    make_label(passport_P, QStringLiteral("kg"), place_of("passport caption kg"));
    make_label(passport_P, QStringLiteral("year"), place_of("passport caption year"));

    factor_P = make_panel(surface, place_of("factor_P"));
    factor_P->setFont(window_font(heading_text_pixels));
    factor_L =
        make_label(factor_P, QStringLiteral("Subject factors:"), place_of("factor_L"), heading_text_pixels);
    constexpr control_place press = place_of("press_L");
    constexpr control_place trad = place_of("trad_RB");
    press_L = make_label(factor_P, QStringLiteral("pressure units:"), press);
    // Laid out at 128 against the radio button at 200: kept clear of it.
    press_L->move(std::min(press.left, trad.left - 3 - press_L->width()), press.top);
    trad_RB = new QRadioButton(QStringLiteral("mm Hg"), factor_P);
    trad_RB->setFont(window_font());
    trad_RB->adjustSize();
    trad_RB->move(trad.left, trad.top);
    metric_RB = new QRadioButton(QStringLiteral("kPa"), factor_P);
    metric_RB->setFont(window_font());
    metric_RB->adjustSize();
    metric_RB->move(place_of("metric_RB").left, place_of("metric_RB").top);

    display_P = make_panel(surface, place_of("display_P"));
    display_P->setFont(window_font(heading_text_pixels));
    display_L = make_label(display_P, QStringLiteral("Display variables:"), place_of("display_L"),
                           heading_text_pixels);
    time_L = make_label(display_P, QStringLiteral("cursor position:"), place_of("time_L"));
    time_E = make_field(display_P, QStringLiteral("min:sec"), place_of("time_E"), true);

    constexpr control_place list = place_of("row_dsn_CB");
    constexpr control_place value = place_of("row_vlu_E");
    constexpr control_place unit = place_of("row_unit_L");
    for (int i = 0; i < panel_rows; ++i) {
        const int shift = row_pitch * i;
        for (bool factor_row : {true, false}) {
            QFrame* panel = factor_row ? factor_P : display_P;
            panel_row& row = factor_row ? factor_rows[i] : display_rows[i];
            row.dsn_CB = make_list(panel, list.left, list.top + shift, list.width);
            row.dsn_CB->setFont(window_font());
            row.vlu_E = make_field(
                panel, factor_row ? QString::fromLatin1(empty_factor_text) : QStringLiteral("value"),
                value.left, value.top + shift, value.width, !factor_row);
            row.unit_L = make_label(panel, QStringLiteral("unit"), unit.left, unit.top + shift);
            // A unit may use the rest of its panel's width.
            row.unit_L->resize(panel->width() - unit.left - 4, row.unit_L->height());
        }
    }

    stage->set_surface(surface);

    time_out_T = new QTimer(this);
    time_out_T->setInterval(5000);
    connect(time_out_T, &QTimer::timeout, this, &Tmain_F::time_out_TTimer);
}

void Tmain_F::build_menu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    load_I = file->addAction(QStringLiteral("&Load ..."), this, &Tmain_F::load_IClick);
    save_I = file->addAction(QStringLiteral("&Save ..."), this, &Tmain_F::save_IClick);
    file->addSeparator();
    print_I = file->addAction(QStringLiteral("&Print ..."), this, &Tmain_F::print_IClick);
    file->addSeparator();
    exit_I = file->addAction(QStringLiteral("E&xit"), this, &Tmain_F::exit_IClick);
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    display_I = view->addAction(QStringLiteral("&Display Variables ..."), this, &Tmain_F::display_IClick);
    factor_I = view->addAction(QStringLiteral("&Factor List ..."), this, &Tmain_F::factor_IClick);
    view->addSeparator();
    about_I = view->addAction(QStringLiteral("&About ..."), this, &Tmain_F::about_IClick);
    QMenu* respiration = menuBar()->addMenu(QStringLiteral("&Respiration"));
    respiration_I =
        respiration->addAction(QStringLiteral("&Respiration ..."), this, &Tmain_F::respiration_IClick);
    build_added_menu_items(file, view);
    build_view_items(view);
    build_classroom_items(file, view);
}

void Tmain_F::set_tooltips()
{
    run_B->setToolTip(QStringLiteral("run model to next minute mark") + run_key_tooltip);
    time_E->setToolTip(QStringLiteral("cursor position mm:ss"));
    hint_M->setToolTip(QStringLiteral("operational alerts or hints"));
    back_B->setToolTip(QStringLiteral("step back in subject history"));
    trad_RB->setToolTip(QStringLiteral("use traditional pressure units"));
    rerun_B->setToolTip(QStringLiteral("strip time back to cursor"));
    reset_B->setToolTip(QStringLiteral("start again with same subject"));
    factor_P->setToolTip(QStringLiteral("select subject factor to adjust"));
    metric_RB->setToolTip(QStringLiteral("use SI pressure units"));
    forward_B->setToolTip(QStringLiteral("step forward in subject history"));
    display_P->setToolTip(QStringLiteral("select variables to be displayed and plotted"));
    passport_P->setToolTip(QStringLiteral("select passport factor to adjust"));
    bmi_E->setToolTip(QStringLiteral("read only"));
    clinical_M->setToolTip(QStringLiteral("subject symptoms, or subject comments"));
}

// --- events ---------------------------------------------------------------------

void Tmain_F::FormResize()
{
    const int h = surface->height();
    message_P->resize(message_P->width(), h - 662);
    clinical_M->resize(clinical_M->width(), h - 673);
    control_P->move(control_P->x(), h - 275);
    factor_P->move(factor_P->x(), h - 275);
    display_P->move(display_P->x(), h - 275);
    passport_P->move(passport_P->x(), h - 178);
    sim_.controller().set_client_width(client_width());
    if (isWindow() && pos() != QPoint(0, 0)) move(0, 0);
}

// A paint draws the plot only. The panels are refreshed on every redraw
// request of the logic (redraw_main), which is every change of what they
// show; refreshing them on paints as well would overwrite a value the user
// is still typing whenever the window is uncovered.
void Tmain_F::FormPaint(QPainter& painter)
{
    painter.setFont(window_font());
    // Idempotent after the controller's own preparation; sets grid_span and
    // moves an unpinned cursor to the end of the trace for this width.
    prepare_redraw(sim_.state(), client_width());
    if (paint_whole_run_instead(painter)) return;
    paint_trend_plot(painter, client_width(), sim_.state(), sim_.selection().display_sel,
                     QString::fromStdString(model_host::version()), nullptr,
                     reference_ ? &*reference_ : nullptr);
    paint_plot_additions(painter);
}

void Tmain_F::FormMouseDown(Qt::MouseButton button, QPoint point)
{
    if (button != Qt::LeftButton) return;
    if (whole_run_ && point.y() > click_band_top_y && point.y() < click_band_bottom_y &&
        point.x() >= plot_time_origin_x && point.x() <= client_width() - 160) {
        move_cursor_to(whole_run_time(client_width(), sim_.session().logged_seconds(), point.x()));
        return;
    }
    sim_.mouse_down(point.x(), point.y());
}

bool Tmain_F::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::AltModifier)) return false;
    const bool large = modifiers & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Left:
        sim_.cursor_key(cursor_direction::left, large);
        return true;
    case Qt::Key_Right:
        sim_.cursor_key(cursor_direction::right, large);
        return true;
    case Qt::Key_I:
        sim_.info_key();
        return true;
    default:
        return false;
    }
}

bool Tmain_F::eventFilter(QObject* watched, QEvent* event)
{
    if (closing_) return false;
    if (event->type() == QEvent::KeyPress) {
        // Key preview: act once, on the first receiver of the press (the focused
        // control of this window, or the window itself), and let it through.
        // A scaled surface is a window of its own inside the stage's view.
        const auto of_this_window = [this](QWidget* w) {
            return w->window() == this || w->window() == surface;
        };
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && of_this_window(widget)) {
            QWidget* first = QApplication::focusWidget();
            if (!first || !of_this_window(first)) first = this;
            if (widget == first) {
                auto* key = static_cast<QKeyEvent*>(event);
                FormKeyDown(key->key(), key->modifiers());
            }
        }
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        // "The field lost focus" means focus moved to another control of this
        // window; switching to another application or opening a popup is not an exit.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
        for (const panel_row& row : factor_rows)
            if (watched == row.vlu_E) {
                factorExit();
                return false;
            }
        if (watched == height_E || watched == weight_E || watched == age_E || watched == sex_CB ||
            watched == bmi_E)
            passportExit();
    }
    return false;
}

// --- buttons, radio buttons, menu, timer --------------------------------------------

void Tmain_F::run_BClick()
{
    play_due_actions();
    sim_.run_clicked();
    scenario_run_ended();
}
void Tmain_F::rerun_BClick() { sim_.rerun_clicked(); }
void Tmain_F::back_BClick() { sim_.back_clicked(); }
void Tmain_F::forward_BClick() { sim_.forward_clicked(); }
void Tmain_F::reset_BClick() { sim_.reset_clicked(); }
void Tmain_F::time_out_TTimer() { sim_.hint_timeout(); }

void Tmain_F::trad_RBClick() { sim_.set_pressure_units(false); }
void Tmain_F::metric_RBClick() { sim_.set_pressure_units(true); }

void Tmain_F::exit_IClick()
{
    // A question only for a run with events not kept; no saving, no clean-up.
    if (!may_discard_run()) return;
    std::fflush(nullptr);
    std::_Exit(0);
}
