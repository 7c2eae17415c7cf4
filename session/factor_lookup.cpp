#include "factor_lookup.h"

#include "slot_ids.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <optional>
#include <utility>

namespace {

// A whole decimal number with optional sign and blanks around it; nullopt
// for anything else or a number beyond int.
std::optional<int> whole_number(std::string_view text)
{
    auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

std::string lower_case(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

int edit_distance(std::string_view a, std::string_view b)
{
    // One row of the classic table at a time.
    std::vector<int> row(b.size() + 1);
    for (std::size_t j = 0; j < row.size(); ++j) row[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            const int substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
            diagonal = above;
        }
    }
    return row.back();
}

std::vector<std::string> nearest_factor_names(std::string_view text)
{
    const std::string typed = lower_case(text);
    // A typo is a few characters; a third of the word allows for words
    // spelled differently ("hemoglobin", "temperature").
    const int near_enough = std::max(2, static_cast<int>(typed.size()) / 3);
    std::vector<std::pair<int, int>> ranked;  // distance, index
    for (int i = 0; i < factor_id::count; ++i) {
        const std::string_view name = factor_short_names[i];
        int distance = edit_distance(typed, name);
        // "o2" or "pressure" alone: a part of a name counts as near.
        if (typed.size() >= 2 && name.find(typed) != std::string_view::npos) distance = std::min(distance, 1);
        if (distance <= near_enough) ranked.emplace_back(distance, i);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::string> names;
    for (std::size_t k = 0; k < ranked.size() && k < 3; ++k)
        names.emplace_back(factor_short_names[ranked[k].second]);
    return names;
}

factor_lookup find_factor(std::string_view text)
{
    factor_lookup result;
    if (const std::optional<int> index = whole_number(text)) {
        if (*index >= 0 && *index < factor_id::count)
            result.index = *index;
        else
            result.error = "factor index must be a whole number 0 to " +
                           std::to_string(factor_id::count - 1) + ", got " + quoted(text);
        return result;
    }
    result.index = factor_index_by_name(text);
    if (result.index >= 0) return result;
    if (display_index_by_name(text) >= 0) {
        result.error = quoted(text) +
                       " is a display variable, not a subject factor "
                       "(tolvane-batch --list factors shows the factors)";
        return result;
    }
    const std::vector<std::string> nearest = nearest_factor_names(text);
    if (nearest.empty()) {
        result.error = "unknown factor " + quoted(text) + " (tolvane-batch --list shows the names)";
    } else {
        std::string list;
        for (const std::string& name : nearest) list += (list.empty() ? "" : ", ") + name;
        result.error =
            "unknown factor " + quoted(text) + " (nearest: " + list + "; tolvane-batch --list shows all)";
    }
    return result;
}

factor_lookup find_display(std::string_view text)
{
    factor_lookup result;
    const int count = display_id::count - 1;  // "No display" has no values
    if (const std::optional<int> index = whole_number(text)) {
        if (*index >= 0 && *index < count)
            result.index = *index;
        else
            result.error = "display index must be a whole number 0 to " + std::to_string(count - 1) +
                           ", got " + quoted(text);
        return result;
    }
    result.index = display_index_by_name(text);
    if (result.index >= 0 && result.index < count) return result;
    result.index = -1;
    if (factor_index_by_name(text) >= 0)
        result.error = quoted(text) + " is a subject factor, not a display variable";
    else
        result.error =
            "unknown display variable " + quoted(text) + " (tolvane-batch --list displays shows the names)";
    return result;
}
