// SPDX-License-Identifier: Apache-2.0
// The main window's central widget: it holds the window's own surface (the
// plot and the panels, laid out for a client area 1014 pixels wide). At the
// laid-out width the surface sits in it directly, as it always has. At any
// other size (a maximised or full-screen window, a small or scaled screen)
// the surface is shown through a graphics view scaled to fit: the plot gets
// more (or fewer) pixels for the same minutes, and nothing is cut off.
#ifndef TOLVANE_PLOT_STAGE_H
#define TOLVANE_PLOT_STAGE_H

#include <QWidget>

class QGraphicsProxyWidget;
class QGraphicsScene;
class QGraphicsView;

class plot_stage : public QWidget {
public:
    // The surface keeps design_width logical pixels and at least
    // minimum_height; it shows directly while the stage is from design_width
    // to a tenth wider and at least minimum_height high.
    plot_stage(QWidget* parent, int design_width, int minimum_height);

    // The widget shown (made a child of the stage); call once.
    void set_surface(QWidget* surface);
    // True while the surface is shown through the scaled view.
    bool scaled() const { return view_shown_; }
    // Window pixels per logical pixel of the surface.
    double scale() const { return scale_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void lay_out();
    void show_directly();
    void show_scaled(double scale, int logical_height);

    int design_width_;
    int minimum_height_;
    QWidget* surface_ = nullptr;
    QGraphicsScene* scene_ = nullptr;
    QGraphicsView* view_ = nullptr;
    QGraphicsProxyWidget* proxy_ = nullptr;
    double scale_ = 1.0;
    bool view_shown_ = false;
};

#endif
