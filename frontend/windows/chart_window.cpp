// SPDX-License-Identifier: Apache-2.0
#include "chart_window.h"

#include <algorithm>
#include <functional>
#include <optional>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "chart_picture.h"
#include "main_window.h"
#include "reference_run.h"
#include "result_text.h"
#include "window_font.h"

namespace {

// The chart's surface: paints through its window's draw().
class chart_surface : public QWidget {
public:
    chart_surface(QWidget* parent, std::function<void(QPainter&, int, int)> paint)
        : QWidget(parent), paint_(std::move(paint))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setFont(window_font());
        paint_(painter, width(), height());
    }

private:
    std::function<void(QPainter&, int, int)> paint_;
};

}  // namespace

chart_window::chart_window(Tmain_F& main, const QString& title, QSize chart_size)
    : QWidget(&main, Qt::Tool), main_(main)
{
    setWindowTitle(title);
    setFont(window_font());
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    controls_ = new QHBoxLayout;
    controls_->setSpacing(6);
    column->addLayout(controls_);
    chart_ = new chart_surface(this, [this](QPainter& p, int w, int h) { draw(p, w, h); });
    chart_->setMinimumSize(420, 300);
    chart_->resize(chart_size);
    column->addWidget(chart_, 1);
    controls_->addStretch(1);
    reference_L = new QLabel(this);
    reference_L->hide();
    controls_->addWidget(reference_L);
    export_B = new QPushButton(QStringLiteral("Export picture ..."), this);
    controls_->addWidget(export_B);
    connect(export_B, &QPushButton::clicked, this, &chart_window::export_picture_clicked);
    resize(chart_size + QSize(8, 8 + 4 + export_B->sizeHint().height()));
    // Every change the main window shows (run, cursor, units, rows) ends in
    // its redraw: follow it.
    connect(&main, &Tmain_F::redrawn, this, &chart_window::refresh);
}

void chart_window::refresh()
{
    if (!isVisible()) return;
    take_state();
    show_reference_name();
    chart_->update();
}

void chart_window::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    take_state();
    show_reference_name();
    chart_->update();
}

void chart_window::show_reference_name()
{
    const std::optional<reference_run>& reference = main_.reference();
    reference_L->setVisible(reference.has_value());
    if (reference)
        reference_L->setText(
            QStringLiteral("reference: %1 (dashed on the main plot)").arg(reference_title(*reference)));
}

void chart_window::show_beside_main()
{
    if (!placed_) {
        placed_ = true;
        move(place_beside_main());
    }
    show();
    raise();
    activateWindow();
}

QPoint chart_window::place_beside_main() const
{
    // Right of the main window where the screen has room, else over its
    // right-hand part; below another chart window already there, so that
    // both stay in view; never off the screen.
    QScreen* screen = main_.screen() ? main_.screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    const QRect outer = main_.frameGeometry();
    const QSize size = frameGeometry().size();
    int left = std::min(outer.right() + 1, room.right() + 1 - size.width());
    left = std::max(left, room.left());
    int top = std::max(room.top(), outer.top());
    for (const chart_window* other : main_.findChildren<chart_window*>()) {
        if (other == this || !other->isVisible()) continue;
        const QRect taken = other->frameGeometry();
        if (QRect(QPoint(left, top), size).intersects(taken)) top = taken.bottom() + 1;
    }
    if (top + size.height() > room.bottom() + 1)
        top = std::max(room.top(), room.bottom() + 1 - size.height());
    return {left, top};
}

QImage chart_window::chart_image() const
{
    QImage image(chart_->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(window_font());
    draw(painter, image.width(), image.height());
    return image;
}

save_result chart_window::export_picture(const QString& path) const
{
    // PNG at twice the resolution of the screen the window is on.
    return export_chart_picture(path, chart_->size(), 2.0 * devicePixelRatioF(), windowTitle(),
                                [this](QPainter& p, int w, int h) { draw(p, w, h); });
}

void chart_window::export_picture_clicked()
{
    const std::optional<QString> path = main_.ui().save_file_dialog(
        {QStringLiteral("Export picture"), picture_name(),
         QStringLiteral("SVG pictures (*.svg);;PNG pictures (*.png)"), QString(), QString()});
    if (!path) return;
    const save_result written = export_picture(*path);
    if (!written.ok()) main_.ui().show_error(message_text(written));
}
