#include "window_font.h"

QFont window_font(int pixel_height) {
    QFont font(QString::fromLatin1(window_font_family));
    font.setPixelSize(pixel_height);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
