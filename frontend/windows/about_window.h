// The about window: a picture panel, a version label, a read-only text and an
// OK button. The one instance also serves the two variable list windows; every
// use sets all of its variable properties before showing it.
#ifndef TOLVANE_ABOUT_WINDOW_H
#define TOLVANE_ABOUT_WINDOW_H

#include <QDialog>

class Tabout_F : public QDialog {
    Q_OBJECT
public:
    // Creates the window hidden and makes it the instance about_F.
    explicit Tabout_F(QWidget* parent = nullptr);
    ~Tabout_F() override;
};

// The one about window, set by its constructor; null before and after.
extern Tabout_F* about_F;

#endif
