// SPDX-License-Identifier: Apache-2.0
#include "console_ui.h"

#include "batch_run.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// The reason of the first failed write to standard output (0: none).
int standard_output_errno = 0;

void note_write_error(std::FILE* stream)
{
    if (stream == stdout && standard_output_errno == 0) standard_output_errno = errno != 0 ? errno : EIO;
}

}  // namespace

QString terminal_safe(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\n' && u != '\t') || (u >= 0x7f && u <= 0x9f))
            shown += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = (::isatty(::fileno(stream)) ? terminal_safe(text) : text).toUtf8();
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream) !=
        static_cast<std::size_t>(bytes.size()))
        note_write_error(stream);
    errno = 0;
    if (std::fflush(stream) != 0) note_write_error(stream);
}

int standard_output_status(int status)
{
    errno = 0;
    if (std::fflush(stdout) != 0) note_write_error(stdout);
    if (standard_output_errno == 0 && !std::ferror(stdout)) return status;
    const char* reason = std::strerror(standard_output_errno != 0 ? standard_output_errno : EIO);
    print(stderr, QStringLiteral("tolvane-batch: cannot write to standard output: %1\n")
                      .arg(QString::fromLocal8Bit(reason)));
    return status == batch_ok ? batch_file_error : status;
}

void console_ui::show_warning(const QString& text) { print(out_, QStringLiteral("warning: ") + text + '\n'); }

void console_ui::show_error(const QString& text) { print(err_, QStringLiteral("error: ") + text + '\n'); }

void console_ui::show_information(const QString& text) { print(out_, text + '\n'); }

bool console_ui::ask_ok_cancel(const QString& text)
{
    print(err_, text + QStringLiteral(" (answered Cancel)\n"));
    return false;
}

void console_ui::append_clinical_text(const QString& text)
{
    headless_ui::append_clinical_text(text);
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    print(out_, line);
}
