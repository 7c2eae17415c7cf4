// SPDX-License-Identifier: Apache-2.0
#include "factor_names.h"

#include "model_host.h"
#include "slot_ids.h"

#include <algorithm>
#include <utility>
#include <vector>

int edit_distance(const QString& a, const QString& b)
{
    // One row of the classic table at a time.
    std::vector<int> row(static_cast<std::size_t>(b.size()) + 1);
    for (std::size_t j = 0; j < row.size(); ++j) row[j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[static_cast<std::size_t>(j)];
            const int substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            row[static_cast<std::size_t>(j)] =
                std::min({above + 1, row[static_cast<std::size_t>(j - 1)] + 1, substitution});
            diagonal = above;
        }
    }
    return row.back();
}

QStringList nearest_factor_names(const QString& text)
{
    const QString typed = text.toLower();
    // A typo is a few characters; a third of the word allows for words
    // spelled differently ("hemoglobin", "temperature").
    const int near_enough = std::max(2, static_cast<int>(typed.size()) / 3);
    std::vector<std::pair<int, int>> ranked;  // distance, index
    for (int i = 0; i < factor_id::count; ++i) {
        const QString name = QString::fromLatin1(factor_short_names[i].data(),
                                                 static_cast<qsizetype>(factor_short_names[i].size()));
        int distance = edit_distance(typed, name);
        // "o2" or "pressure" alone: a part of a name counts as near.
        if (typed.size() >= 2 && name.contains(typed)) distance = std::min(distance, 1);
        if (distance <= near_enough) ranked.emplace_back(distance, i);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    QStringList names;
    for (std::size_t k = 0; k < ranked.size() && k < 3; ++k)
        names << QString::fromLatin1(factor_short_names[ranked[k].second].data(),
                                     static_cast<qsizetype>(factor_short_names[ranked[k].second].size()));
    return names;
}

namespace {

// The catalogue's own name of a factor ("Inspired O2 percentage", as the
// window and the batch output show it), in any case; -1 when none matches.
int factor_index_by_long_name(const QString& text)
{
    for (int i = 0; i < factor_id::count; ++i)
        if (QString::fromStdString(model_host::factor_name(i)).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

}  // namespace

factor_lookup find_factor(const QString& text)
{
    factor_lookup result;
    bool is_number = false;
    const int index = text.toInt(&is_number, 10);
    if (is_number) {
        if (index >= 0 && index < factor_id::count)
            result.index = index;
        else
            result.error = QStringLiteral("factor index must be a whole number 0 to %1, got \"%2\"")
                               .arg(factor_id::count - 1)
                               .arg(text);
        return result;
    }
    result.index = factor_index_by_name(text.toLower().toStdString());
    if (result.index < 0) result.index = factor_index_by_long_name(text);
    if (result.index >= 0) return result;
    if (display_index_by_name(text.toLower().toStdString()) >= 0) {
        result.error = QStringLiteral(
                           "\"%1\" is a display variable, not a subject factor "
                           "(tolvane-batch --list factors shows the factors)")
                           .arg(text);
        return result;
    }
    const QStringList nearest = nearest_factor_names(text);
    if (nearest.isEmpty())
        result.error =
            QStringLiteral("unknown factor \"%1\" (tolvane-batch --list shows the names)").arg(text);
    else
        result.error = QStringLiteral("unknown factor \"%1\" (nearest: %2; tolvane-batch --list shows all)")
                           .arg(text, nearest.join(QStringLiteral(", ")));
    return result;
}
