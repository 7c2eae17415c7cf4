// SPDX-License-Identifier: Apache-2.0
#include "plot_stage.h"

#include <QApplication>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QResizeEvent>
#include <QShowEvent>

#include <algorithm>

plot_stage::plot_stage(QWidget* parent, int design_width, int minimum_height)
    : QWidget(parent), design_width_(design_width), minimum_height_(minimum_height)
{
}

void plot_stage::set_surface(QWidget* surface)
{
    surface_ = surface;
    surface_->setParent(this);
    lay_out();
}

void plot_stage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    lay_out();
}

void plot_stage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    lay_out();
}

void plot_stage::lay_out()
{
    if (!surface_) return;
    const int w = width();
    const int h = height();
    // Until the window is shown its size means nothing yet: no view.
    if (!isVisible()) {
        show_directly();
        surface_->setGeometry(0, 0, design_width_, std::max(h, minimum_height_));
        return;
    }
    const bool as_laid_out = w >= design_width_ && w * 10 < design_width_ * 11 && h >= minimum_height_;
    if (as_laid_out) {
        show_directly();
        surface_->setGeometry(0, 0, design_width_, h);
        return;
    }
    // As wide as the stage, and as tall as the stage then allows; where that
    // is less than the layout needs, as tall as the stage instead.
    double scale = double(w) / design_width_;
    int logical_height = static_cast<int>(h / scale);
    if (logical_height < minimum_height_) {
        logical_height = minimum_height_;
        scale = double(h) / minimum_height_;
    }
    show_scaled(std::max(scale, 0.05), logical_height);
}

void plot_stage::show_directly()
{
    scale_ = 1.0;
    if (!view_shown_) return;
    view_shown_ = false;
    proxy_->setWidget(nullptr);
    surface_->setParent(this);
    surface_->show();
    view_->hide();
}

void plot_stage::show_scaled(double scale, int logical_height)
{
    if (!view_) {
        scene_ = new QGraphicsScene(this);
        proxy_ = new QGraphicsProxyWidget;
        scene_->addItem(proxy_);
        view_ = new QGraphicsView(scene_, this);
        view_->setFrameShape(QFrame::NoFrame);
        view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view_->setAlignment(Qt::AlignCenter);
        view_->setBackgroundBrush(palette().window());
        view_->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                              QPainter::SmoothPixmapTransform);
    }
    if (!view_shown_) {
        view_shown_ = true;
        const bool had_focus = surface_->isAncestorOf(QApplication::focusWidget());
        // As a window of its own it would take the application's font and
        // palette: it keeps the main window's.
        surface_->setFont(surface_->font());
        surface_->setPalette(surface_->palette());
        surface_->setParent(nullptr);
        proxy_->setWidget(surface_);
        if (had_focus) proxy_->setFocus();
    }
    scale_ = scale;
    proxy_->resize(design_width_, logical_height);
    scene_->setSceneRect(0, 0, design_width_, logical_height);
    view_->setGeometry(rect());
    view_->setTransform(QTransform::fromScale(scale, scale));
    view_->show();
}
