#include "console_ui.h"

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
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
