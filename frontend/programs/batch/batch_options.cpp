#include "batch_options.h"

#include "factor_names.h"
#include "manual_text.h"

#include <QLocale>
#include <cmath>
#include <functional>

namespace {

// Reads a plain decimal number, nothing before or after it.
std::optional<double> strict_number(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || text.trimmed() != text || text.isEmpty()) return std::nullopt;
    return value;
}

std::optional<int> strict_int(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

// Applies the value of an option that takes one; returns an error or empty.
using option_handler = std::function<QString(batch_options&, const QString&)>;

struct option_row {
    const char* name;
    option_handler handler;
};

QString take_set(batch_options& options, const QString& value)
{
    const qsizetype equals = value.indexOf('=');
    if (equals <= 0) return QStringLiteral("--set wants NAME=VALUE or INDEX=VALUE, got \"%1\"").arg(value);
    const qt_factor_lookup factor = find_factor(value.left(equals));
    if (factor.index < 0) return QStringLiteral("--set: %1").arg(factor.error);
    const QString number_text = value.mid(equals + 1);
    const std::optional<double> number = strict_number(number_text);
    if (!number) return QStringLiteral("--set: \"%1\" is not a number").arg(number_text);
    options.settings.push_back({factor.index, *number, number_text});
    return {};
}

// "--list", "--list factors", "--list displays" (also "--list=factors").
std::optional<catalogue_list> list_choice(const QString& word)
{
    if (word == QLatin1String("factors")) return catalogue_list::factors;
    if (word == QLatin1String("displays")) return catalogue_list::displays;
    return std::nullopt;
}

const std::vector<option_row>& option_table()
{
    static const std::vector<option_row> table = {
        {"--subject",
         [](batch_options& o, const QString& v) {
             o.subject_path = v;
             return QString();
         }},
        {"--set", take_set},
        {"--minutes",
         [](batch_options& o, const QString& v) {
             const std::optional<int> n = strict_int(v);
             if (!n || *n < 0 || *n > batch_max_minutes)
                 return QStringLiteral("--minutes wants a whole number 0 to %1, got \"%2\"")
                     .arg(batch_max_minutes)
                     .arg(v);
             o.minutes = *n;
             return QString();
         }},
        {"--csv",
         [](batch_options& o, const QString& v) {
             o.csv_path = v;
             return QString();
         }},
        {"--save",
         [](batch_options& o, const QString& v) {
             o.save_path = v;
             return QString();
         }},
        {"--script",
         [](batch_options& o, const QString& v) {
             o.script_path = v;
             return QString();
         }},
        {"--report",
         [](batch_options& o, const QString& v) {
             o.report_path = v;
             return QString();
         }},
    };
    return table;
}

}  // namespace

batch_parse_result parse_batch_arguments(const QStringList& arguments)
{
    batch_parse_result result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            result.options.help = true;
            continue;
        }
        if (argument == QLatin1String("--version")) {
            result.options.version = true;
            continue;
        }
        if (argument == QLatin1String("--list")) {
            result.options.list = catalogue_list::both;
            const std::optional<catalogue_list> choice =
                i + 1 < arguments.size() ? list_choice(arguments[i + 1]) : std::nullopt;
            if (choice) {
                result.options.list = *choice;
                ++i;
            }
            continue;
        }
        if (argument.startsWith(QLatin1String("--list="))) {
            const std::optional<catalogue_list> choice = list_choice(argument.mid(7));
            if (!choice) {
                result.error =
                    QStringLiteral("--list wants factors or displays, got \"%1\"").arg(argument.mid(7));
                return result;
            }
            result.options.list = *choice;
            continue;
        }
        // Both "--name VALUE" and "--name=VALUE".
        QString name = argument;
        std::optional<QString> value;
        const qsizetype equals = argument.indexOf('=');
        if (argument.startsWith(QStringLiteral("--")) && equals > 2) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        const option_row* row = nullptr;
        for (const option_row& candidate : option_table())
            if (name == QLatin1String(candidate.name)) row = &candidate;
        if (row == nullptr) {
            result.error = QStringLiteral("unknown argument \"%1\"").arg(argument);
            return result;
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("%1 needs a value").arg(name);
                return result;
            }
            value = arguments[++i];
        }
        result.error = row->handler(result.options, *value);
        if (!result.error.isEmpty()) return result;
    }
    return result;
}

QString batch_usage() { return QString::fromStdString(help_text(batch_manual())); }
