// SPDX-License-Identifier: Apache-2.0
// The about window: a white picture panel with the version label, a read-only
// text and an OK button. The one instance also serves the two variable list
// windows; every use sets all of its variable properties before showing it,
// so nothing of one use carries over into the next.
#ifndef TOLVANE_ABOUT_WINDOW_H
#define TOLVANE_ABOUT_WINDOW_H

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// Everything a use of the window sets. Heights and tops are those of the
// window as laid out on screen, title bar and border included.
struct about_window_settings {
    QString caption;
    int memo_height = 0;
    bool memo_vertical_scroll_bar = false;
    int button_top = 0;
    int window_height = 0;
    QString memo_text;  // lines separated by "\r\n"
};

// The settings of "&About ...", "&Factor List ..." and "&Display Variables ...".
about_window_settings about_settings();
about_window_settings factor_list_settings();
about_window_settings display_list_settings();

class Tabout_F : public QDialog {
    Q_OBJECT
public:
    // The designed outer width, and the room the title bar and border take
    // from the outer size (the client area is the outer size less these).
    static constexpr int window_width = 437;
    static constexpr int frame_width = 8;
    static constexpr int frame_height = 31;

    // Creates the window hidden and makes it the instance about_F.
    explicit Tabout_F(QWidget* parent = nullptr);
    ~Tabout_F() override;

    // Applies one use's settings in the designed order (caption, memo height,
    // scroll bars, button top, position, window height, version label, memo
    // text), centring the window on centre_on (if any). Does not show it.
    void apply(const about_window_settings& settings, QWidget* centre_on);

    // The window's outer height as last set (client height + frame_height).
    int window_height() const;

    QFrame* content_P = nullptr;
    QLabel* image_I = nullptr;
    QLabel* version_L = nullptr;
    QPushButton* okay_B = nullptr;
    QPlainTextEdit* text_M = nullptr;
};

// The one about window, set by its constructor; null before and after.
extern Tabout_F* about_F;

#endif
