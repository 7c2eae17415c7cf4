#include "factor_names.h"

#include "factor_lookup.h"

qt_factor_lookup find_factor(const QString& text)
{
    const factor_lookup found = find_factor(std::string_view(text.toStdString()));
    return {found.index, QString::fromStdString(found.error)};
}

QStringList nearest_factor_names(const QString& text)
{
    QStringList names;
    for (const std::string& name : nearest_factor_names(std::string_view(text.toStdString())))
        names << QString::fromStdString(name);
    return names;
}

int edit_distance(const QString& a, const QString& b)
{
    return edit_distance(std::string_view(a.toStdString()), std::string_view(b.toStdString()));
}
