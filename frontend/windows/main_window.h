// The main window: plot area, message strip, control, passport, factor and
// display panels, and the main menu. It only wires controls to the front-end
// logic; the logic itself lives in frontend/.
#ifndef TOLVANE_MAIN_WINDOW_H
#define TOLVANE_MAIN_WINDOW_H

#include <QMainWindow>

class Tmain_F : public QMainWindow {
    Q_OBJECT
public:
    explicit Tmain_F(QWidget* parent = nullptr);
    ~Tmain_F() override;

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
};

#endif
