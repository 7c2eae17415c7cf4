// SPDX-License-Identifier: Apache-2.0
#include "catalogue_listing.h"

#include "catalogue_view.h"
#include "cp1252.h"
#include "slot_ids.h"

#include <QLocale>
#include <string_view>

namespace {

QString number_text(float value) { return QLocale::c().toString(static_cast<double>(value), 'g', 6); }

QString latin(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString row(int index, std::string_view name, const catalogue_record& record, const QString& standard)
{
    const QString unit =
        record.unit != nullptr && record.unit[0] != '\0' ? from_cp1252(record.unit) : QStringLiteral("-");
    const QString limits = standard.isEmpty()
                               ? QStringLiteral("-")
                               : QStringLiteral("%1 to %2 (standard %3)")
                                     .arg(number_text(record.minimum), number_text(record.maximum), standard);
    return QStringLiteral("%1  %2  %3  %4\n").arg(index, 5).arg(latin(name), -28).arg(unit, -21).arg(limits);
}

QString heading(const char* title)
{
    return QStringLiteral("%1\n%2  %3  %4  %5\n")
        .arg(QLatin1String(title))
        .arg(QStringLiteral("index"))
        .arg(QStringLiteral("name"), -28)
        .arg(QStringLiteral("unit"), -21)
        .arg(QStringLiteral("limits (standard value)"));
}

QString factor_table()
{
    QString text = heading("Subject factors (--set NAME=VALUE, script: set NAME VALUE):");
    const std::span<const catalogue_record> factors = factor_records();
    for (int i = 0; i < factor_id::count; ++i)
        text += row(i, factor_short_names[i], factors[i], number_text(standard_factor_value(i)));
    return text;
}

QString display_table()
{
    QString text = heading("Display variables (CSV columns in this order):");
    // The last entry, "No display", is a panel placeholder with no value.
    const std::span<const catalogue_record> displays = display_records();
    for (int i = 0; i < display_id::no_display; ++i)
        text += row(i, display_short_names[i], displays[i], number_text(standard_display_value(i)));
    return text;
}

}  // namespace

QString catalogue_listing(catalogue_list which)
{
    switch (which) {
    case catalogue_list::factors:
        return factor_table();
    case catalogue_list::displays:
        return display_table();
    case catalogue_list::both:
        return factor_table() + QStringLiteral("\n") + display_table();
    case catalogue_list::none:
        break;
    }
    return {};
}
