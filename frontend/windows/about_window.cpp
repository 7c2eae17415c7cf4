// SPDX-License-Identifier: Apache-2.0
// The about window and the settings of its three uses.
#include "about_window.h"

#include "about_texts.h"
#include "embedded_pictures.h"
#include "jpeg_image.h"
#include "model_host.h"
#include "window_font.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

Tabout_F* about_F = nullptr;

about_window_settings about_settings()
{
    about_window_settings s;
    s.caption = QStringLiteral("Tolvane  About");
    s.memo_height = 489;
    s.memo_vertical_scroll_bar = false;
    s.button_top = 616;
    s.window_height = 682;
    s.memo_text = about_text();
    return s;
}

about_window_settings factor_list_settings()
{
    // The memo grows 14 pixels a line with the number of factors; no scroll bar.
    about_window_settings s;
    s.caption = QStringLiteral("Tolvane Subject Factors");
    s.memo_height = 14 * model_host::factor_count() + 9;
    s.memo_vertical_scroll_bar = false;
    s.button_top = 14 * model_host::factor_count() + 142;
    s.window_height = 14 * model_host::factor_count() + 202;
    s.memo_text = factor_list_text();
    return s;
}

about_window_settings display_list_settings()
{
    about_window_settings s;
    s.caption = QStringLiteral("Tolvane Display Variables");
    s.memo_height = 479;
    s.memo_vertical_scroll_bar = true;
    s.button_top = 612;
    s.window_height = 672;
    s.memo_text = display_list_text();
    return s;
}

Tabout_F::Tabout_F(QWidget* parent) : QDialog(parent)
{
    // Title bar with the system menu and the close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFont(window_font());
    setFixedSize(window_width - frame_width, 682 - frame_height);

    content_P = new QFrame(this);
    content_P->setObjectName(QStringLiteral("content_P"));
    content_P->setGeometry(3, -5, 422, 118);
    // Lowered outer and raised inner bevel: an etched edge, one pixel each.
    content_P->setFrameStyle(QFrame::Box | QFrame::Sunken);
    content_P->setLineWidth(1);
    content_P->setMidLineWidth(0);
    content_P->setAutoFillBackground(true);
    QPalette white = content_P->palette();
    white.setColor(QPalette::Window, Qt::white);
    content_P->setPalette(white);

    image_I = new QLabel(content_P);
    image_I->setObjectName(QStringLiteral("image_I"));
    image_I->setGeometry(35, 2, 200, 108);
    image_I->setScaledContents(true);
    const QImage picture = decode_jpeg(embedded_bytes(about_jpeg, about_jpeg_size));
    if (!picture.isNull()) image_I->setPixmap(QPixmap::fromImage(picture));

    version_L = new QLabel(content_P);
    version_L->setObjectName(QStringLiteral("version_L"));
    version_L->setGeometry(259, 36, 136, 13);
    version_L->setTextFormat(Qt::PlainText);
    version_L->setText(QStringLiteral("version"));

    text_M = new QPlainTextEdit(this);
    text_M->setObjectName(QStringLiteral("text_M"));
    text_M->setReadOnly(true);
    text_M->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_M->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_M->setGeometry(3, 118, 422, 489);

    okay_B = new QPushButton(QStringLiteral("OK"), this);
    okay_B->setObjectName(QStringLiteral("okay_B"));
    okay_B->setGeometry(176, 616, 75, 25);
    okay_B->setDefault(true);
    connect(okay_B, &QPushButton::clicked, this, &QDialog::accept);

    about_F = this;
}

Tabout_F::~Tabout_F()
{
    if (about_F == this) about_F = nullptr;
}

void Tabout_F::apply(const about_window_settings& settings, QWidget* centre_on)
{
    setWindowTitle(settings.caption);
    text_M->setGeometry(text_M->x(), text_M->y(), text_M->width(), settings.memo_height);
    text_M->setVerticalScrollBarPolicy(settings.memo_vertical_scroll_bar ? Qt::ScrollBarAlwaysOn
                                                                         : Qt::ScrollBarAlwaysOff);
    okay_B->move(okay_B->x(), settings.button_top);
    setFixedSize(window_width - frame_width, settings.window_height - frame_height);
    // Centred on the main window with the new height: centring before the
    // height changes would leave a list window off centre.
    if (centre_on != nullptr) {
        const QPoint centre = centre_on->frameGeometry().center();
        move(centre.x() - window_width / 2, centre.y() - settings.window_height / 2);
    }
    version_L->setText(QString::fromLatin1(about_version_text));
    // The memo shows line breaks, not carriage returns.
    QString text = settings.memo_text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text_M->setPlainText(text);
}

int Tabout_F::window_height() const { return height() + frame_height; }
