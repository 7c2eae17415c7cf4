#include "number_text.h"

#include "c_number.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

// True when value lies exactly halfway between two texts with decimals
// decimals: then it is a multiple of 2^-(decimals + 1), and its fixed text
// with decimals + 1 decimals is exact and ends in 5.
bool halfway(double value, int decimals)
{
    const double scaled = std::ldexp(std::fabs(value), decimals + 1);
    if (!(scaled < 1e300) || scaled != std::floor(scaled)) return false;
    char text[400];
    const std::to_chars_result end =
        std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::fixed, decimals + 1);
    return end.ec == std::errc() && end.ptr[-1] == '5';
}

std::string_view skip_blanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    return text.substr(i);
}

}  // namespace

std::string format_fixed(double value, int decimals, int width, bool space_sign)
{
    std::string text;
    if (std::isnan(value) || std::isinf(value)) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%f", value);
        text = buffer;
    } else {
        if (value == 0) value = 0;  // no sign on a zero
        if (halfway(value, decimals)) value = std::nextafter(value, value > 0 ? HUGE_VAL : -HUGE_VAL);
        char buffer[400];
        const std::to_chars_result end =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        text.assign(buffer, end.ptr);
    }
    if (space_sign && text[0] != '-') text.insert(text.begin(), ' ');
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string minutes_seconds_text(int seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::optional<int> read_minutes_seconds(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 1 || colon > 7 || text.size() != colon + 3)
        return std::nullopt;
    long long minutes = 0;
    for (std::size_t i = 0; i < colon; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        minutes = minutes * 10 + (text[i] - '0');
    }
    const char tens = text[colon + 1], ones = text[colon + 2];
    if (tens < '0' || tens > '5' || ones < '0' || ones > '9') return std::nullopt;
    const long long total = minutes * 60 + (tens - '0') * 10 + (ones - '0');
    if (total > INT_MAX) return std::nullopt;
    return static_cast<int>(total);
}

float atof_value(std::string_view text)
{
    const std::string_view rest = skip_blanks(text);
    const double value = scan_c_number(rest.data(), rest.size()).value;
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

double read_leading_number(std::string_view text)
{
    const std::string_view rest = skip_blanks(text);
    const c_number number = scan_c_number(rest.data(), rest.size());
    return number.length == 0 ? 0.0 : number.value;
}
