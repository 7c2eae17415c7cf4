// SPDX-License-Identifier: Apache-2.0
#include "factor_lookup.h"

#include "model_state.h"
#include "slot_ids.h"

#include <algorithm>
#include <array>
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

std::string quoted(std::string_view text)
{
    // Appended piece by piece: g++ 12 warns of an overlap (wrongly) in "\"" + std::string + "\"".
    std::string text_quoted;
    text_quoted.reserve(text.size() + 2);
    text_quoted.append(1, '"').append(text).append(1, '"');
    return text_quoted;
}

// The catalogue's own name of a factor ("Inspired O2 percentage", as the
// window and the batch output show it), in any case; -1 when none matches.
// The names are the process's catalogue as it started, the same for every
// session, so no session's model needs to be live.
int factor_index_by_long_name(const std::string& lower)
{
    const model_state& catalogue = model_state::pristine();
    for (int i = 0; i < factor_id::count; ++i)
        if (lower_case(catalogue.factors[static_cast<std::size_t>(i)].name) == lower) return i;
    return -1;
}

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

namespace {

// Up to three of the first count names closest to text (see
// nearest_factor_names).
template <std::size_t N>
std::vector<std::string> nearest_names(std::string_view text, const std::array<std::string_view, N>& names,
                                       int count)
{
    const std::string typed = lower_case(text);
    // A typo is a few characters; a third of the word allows for words
    // spelled differently ("hemoglobin", "temperature").
    const int near_enough = std::max(2, static_cast<int>(typed.size()) / 3);
    std::vector<std::pair<int, int>> ranked;  // distance, index
    for (int i = 0; i < count; ++i) {
        const std::string_view name = names[static_cast<std::size_t>(i)];
        int distance = edit_distance(typed, name);
        // "o2" or "pressure" alone: a part of a name counts as near.
        if (typed.size() >= 2 && name.find(typed) != std::string_view::npos) distance = std::min(distance, 1);
        if (distance <= near_enough) ranked.emplace_back(distance, i);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::string> nearest;
    for (std::size_t k = 0; k < ranked.size() && k < 3; ++k)
        nearest.emplace_back(names[static_cast<std::size_t>(ranked[k].second)]);
    return nearest;
}

// "unknown WHAT "text" (nearest: a, b; tolvane-batch --list LIST shows all)".
std::string unknown_name_text(const std::string& what, std::string_view text,
                              const std::vector<std::string>& nearest, const std::string& list)
{
    if (nearest.empty())
        return "unknown " + what + " " + quoted(text) + " (tolvane-batch --list" + list + " shows the names)";
    std::string names;
    for (const std::string& name : nearest) names += (names.empty() ? "" : ", ") + name;
    return "unknown " + what + " " + quoted(text) + " (nearest: " + names + "; tolvane-batch --list" + list +
           " shows all)";
}

}  // namespace

std::vector<std::string> nearest_factor_names(std::string_view text)
{
    return nearest_names(text, factor_short_names, factor_id::count);
}

std::vector<std::string> nearest_display_names(std::string_view text)
{
    return nearest_names(text, display_short_names, display_id::count - 1);  // not "No display"
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
    const std::string lower = lower_case(text);
    result.index = factor_index_by_name(lower);
    if (result.index < 0) result.index = factor_index_by_long_name(lower);
    if (result.index >= 0) return result;
    if (display_index_by_name(lower) >= 0) {
        result.error = quoted(text) +
                       " is a display variable, not a subject factor "
                       "(tolvane-batch --list factors shows the factors)";
        return result;
    }
    result.error = unknown_name_text("factor", text, nearest_factor_names(text), "");
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
    const std::string lower = lower_case(text);
    result.index = display_index_by_name(lower);
    if (result.index >= 0 && result.index < count) return result;
    result.index = -1;
    if (factor_index_by_name(lower) >= 0)
        result.error = quoted(text) + " is a subject factor, not a display variable";
    else
        result.error = unknown_name_text("display variable", text, nearest_display_names(text), " displays");
    return result;
}
