// SPDX-License-Identifier: Apache-2.0
#include "window_font.h"

#include <QFontMetrics>

#include <algorithm>

QFont window_font(int pixel_height)
{
    QFont font(QString::fromLatin1(window_font_family));
    font.setPixelSize(pixel_height);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont font_fitting(const QFont& font, const QString& text, int room)
{
    QFont fitted = font;
    fitted.setStretch(QFont::Unstretched);
    const int needed = QFontMetrics(fitted).horizontalAdvance(text);
    if (needed > room && room > 0) fitted.setStretch(std::max(50, 100 * room / needed));
    return fitted;
}
