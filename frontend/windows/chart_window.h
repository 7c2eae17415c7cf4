// SPDX-License-Identifier: Apache-2.0
// A teaching chart in a window of its own beside the main window (not modal):
// the chart fills the window below a row of controls that ends in
// "Export picture ...". The chart follows the main window: it is recomputed
// after every redraw of the main window while it is shown.
#ifndef TOLVANE_CHART_WINDOW_H
#define TOLVANE_CHART_WINDOW_H

#include <QImage>
#include <QWidget>

#include "safe_file.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class Tmain_F;

class chart_window : public QWidget {
    Q_OBJECT
public:
    // A window of its own, owned by the main window (it closes with it).
    chart_window(Tmain_F& main, const QString& title, QSize chart_size);

    // Reads the main window's state again and repaints; does nothing while hidden.
    void refresh();
    // Shows the window beside the main window (first time) and raises it.
    void show_beside_main();

    // The chart's own surface and the export button.
    QWidget* chart() const { return chart_; }
    QPushButton* export_B = nullptr;
    // Names the main window's reference run while one is kept.
    QLabel* reference_L = nullptr;

    // The chart as the window shows it, drawn at its present size.
    QImage chart_image() const;
    // Writes the chart to path (format by its ending); on failure the
    // message is the text to show.
    save_result export_picture(const QString& path) const;

public slots:
    // "Export picture ...": save dialog and errors through the main window's ui_port.
    void export_picture_clicked();

protected:
    // The derived window's controls go into this row, before the button.
    QHBoxLayout* controls_row() const { return controls_; }
    // Takes what the chart shows from the main window.
    virtual void take_state() = 0;
    // Draws the chart at width x height.
    virtual void draw(QPainter& painter, int width, int height) const = 0;
    // The proposed name of an exported picture.
    virtual QString picture_name() const = 0;

    void showEvent(QShowEvent* event) override;
    // The reference's name beside the export button, or nothing.
    void show_reference_name();
    // Where the window goes at its first showing.
    QPoint place_beside_main() const;

    Tmain_F& main_;

private:
    QWidget* chart_ = nullptr;
    QHBoxLayout* controls_ = nullptr;
    bool placed_ = false;
};

#endif
