#include "cp1252.h"

#include <cstring>

namespace {

// Code points of bytes 0x80..0x9F; 0xFFFD where code page 1252 has no character.
constexpr char16_t high_controls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

}  // namespace

QString from_cp1252(const char* text, qsizetype length)
{
    QString result;
    if (text == nullptr || length <= 0) return result;
    result.resize(length);
    QChar* out = result.data();
    for (qsizetype i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        out[i] = (byte >= 0x80 && byte <= 0x9F) ? QChar(high_controls[byte - 0x80])
                                                 : QChar(static_cast<char16_t>(byte));
    }
    return result;
}

QString from_cp1252(const char* text)
{
    if (text == nullptr) return QString();
    return from_cp1252(text, static_cast<qsizetype>(std::strlen(text)));
}
