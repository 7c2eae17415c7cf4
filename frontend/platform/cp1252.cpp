// SPDX-License-Identifier: Apache-2.0
#include "cp1252.h"

#include "cp1252_text.h"

#include <cstring>

QString from_cp1252(const char* text, qsizetype length)
{
    QString result;
    if (text == nullptr || length <= 0) return result;
    result.resize(length);
    QChar* out = result.data();
    for (qsizetype i = 0; i < length; ++i) {
        // Every code point of code page 1252 fits one UTF-16 unit.
        out[i] = QChar(static_cast<char16_t>(cp1252_code_point(static_cast<unsigned char>(text[i]))));
    }
    return result;
}

QString from_cp1252(const char* text)
{
    if (text == nullptr) return QString();
    return from_cp1252(text, static_cast<qsizetype>(std::strlen(text)));
}
