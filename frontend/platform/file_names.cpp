// SPDX-License-Identifier: Apache-2.0
#include "file_names.h"

#include "safe_file.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char16_t stray_byte_base = 0xDC00;

// Length of the valid UTF-8 sequence at bytes[i], or 0 when there is none.
int utf8_sequence_length(const QByteArray& bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80) return 1;
    int length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, minimum = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, minimum = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, minimum = 0x10000;
    else
        return 0;
    if (i + length > bytes.size()) return 0;
    char32_t code = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (at(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode are not UTF-8.
    if (code < minimum || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
    return length;
}

}  // namespace

QString file_name_from_bytes(const QByteArray& bytes)
{
    QString name;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int length = utf8_sequence_length(bytes, i);
        if (length == 0) {
            name += QChar(static_cast<char16_t>(stray_byte_base + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + i, length);
        i += length;
    }
    return name;
}

QByteArray file_name_bytes(const QString& name)
{
    QByteArray bytes;
    qsizetype run_start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        const bool stray = i < name.size() && name[i].unicode() >= stray_byte_base + 0x80 &&
                           name[i].unicode() <= stray_byte_base + 0xFF;
        if (i < name.size() && !stray) continue;
        bytes += QStringView(name).mid(run_start, i - run_start).toUtf8();
        if (stray) bytes += static_cast<char>(name[i].unicode() - stray_byte_base);
        run_start = i + 1;
    }
    return bytes;
}

bool open_for_reading(QFile& file, const QString& path)
{
    if (path == QLatin1String(standard_stream_path)) return file.open(stdin, QIODevice::ReadOnly);
    const int fd = ::open(file_name_bytes(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
    ::close(fd);
    return false;
}
