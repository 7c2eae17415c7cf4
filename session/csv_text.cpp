#include "csv_text.h"

#include "cp1252_text.h"
#include "tolvane_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

std::string csv_field(std::string_view text)
{
    if (text.find_first_of(",\"\n\r") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string history_csv_header_text(const catalogue_record* displays, int count)
{
    std::string header = "time_s";
    for (int d = 0; d < count; ++d) {
        const std::string unit = utf8_from_cp1252(displays[d].unit, std::strlen(displays[d].unit));
        std::string label = utf8_from_cp1252(displays[d].name, std::strlen(displays[d].name));
        if (!unit.empty()) label += " (" + unit + ")";
        header += ',' + csv_field(label);
    }
    return header + '\n';
}

namespace {

// True when value lies exactly halfway between two 7-digit decimals, which
// printf rounds to the even one and the text the CSV has always had (Qt's
// formatting) away from zero. Such a value is N x 10^k with N an 8-digit
// number ending in 5, so it is a multiple of 2^-11 below 1e21, and then its
// fixed text with 11 decimals is exact.
bool halfway_at_seven_digits(double value)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude < 1e21)) return false;
    const double scaled = magnitude * 2048.0;
    if (scaled != std::floor(scaled)) return false;
    char text[48];
    const std::to_chars_result end =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::fixed, 11);
    if (end.ec != std::errc()) return false;
    // The significant digits: leading zeros and the point dropped, trailing zeros cut.
    char digits[48];
    int count = 0;
    for (const char* c = text; c < end.ptr; ++c) {
        if (*c == '.' || (*c == '0' && count == 0)) continue;
        digits[count++] = *c;
    }
    while (count > 0 && digits[count - 1] == '0') --count;
    return count == 8 && digits[7] == '5';
}

// The exact path: std::to_chars, with ties moved outward first.
char* format_exactly(char* out, double value, csv_number_style style)
{
    // Ties go away from zero: the next double outward rounds the same way.
    if (style == csv_number_style::qt && halfway_at_seven_digits(value))
        value = std::nextafter(value, value > 0 ? HUGE_VAL : -HUGE_VAL);
    return std::to_chars(out, out + csv_number_max, value, std::chars_format::general, 7).ptr;
}

// Powers of ten that doubles hold exactly.
constexpr double exact_power_of_ten[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};

// The fast path for values written without an exponent (1e-4 <= |v| < 1e6):
// the seven digits from one scaling in double, whose error (a few parts in
// 1e16) decides nothing unless the value is within 1e-6 of a rounding tie;
// then, and for anything out of range, nullptr sends the value to the exact
// path.
char* format_plainly(char* out, double value)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e6)) return nullptr;
    int exponent = 5;
    while (exponent > -4 &&
           magnitude < (exponent >= 0 ? exact_power_of_ten[exponent] : 1.0 / exact_power_of_ten[-exponent]))
        --exponent;
    const double scaled = magnitude * exact_power_of_ten[6 - exponent];
    if (!(scaled >= 1e6 && scaled < 1e7)) return nullptr;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-6) return nullptr;
    long digits = static_cast<long>(whole) + (fraction > 0.5 ? 1 : 0);
    if (digits == 10000000) {
        digits = 1000000;
        ++exponent;
    }
    char seven[7];
    for (int i = 6; i >= 0; --i, digits /= 10) seven[i] = static_cast<char>('0' + digits % 10);
    int last = 6;                      // trailing zeros after the point are not written
    const int point_after = exponent;  // digit index the point follows (< 0: before them all)
    while (last > point_after && last > 0 && seven[last] == '0') --last;
    if (value < 0) *out++ = '-';
    if (point_after < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int z = point_after + 1; z < 0; ++z) *out++ = '0';
        for (int i = 0; i <= last; ++i) *out++ = seven[i];
        return out;
    }
    for (int i = 0; i <= last; ++i) {
        *out++ = seven[i];
        if (i == point_after && i < last) *out++ = '.';
    }
    return out;
}

}  // namespace

char* format_csv_number(char* out, double value, csv_number_style style)
{
    if (style == csv_number_style::qt) {
        // As Qt writes them: no sign on a zero or on a value that is not a number.
        if (value == 0) {
            *out = '0';
            return out + 1;
        }
        if (std::isnan(value)) return std::copy_n("nan", 3, out);
    }
    if (char* end = format_plainly(out, value)) return end;
    return format_exactly(out, value, style);
}

void append_csv_number(std::string& out, double value, csv_number_style style)
{
    char text[csv_number_max];
    out.append(text, static_cast<std::size_t>(format_csv_number(text, value, style) - text));
}

char* format_csv_number(char* out, double value, int digits, csv_number_style style)
{
    if (digits == 7) return format_csv_number(out, value, style);
    return std::to_chars(out, out + csv_number_max, value, std::chars_format::general,
                         std::clamp(digits, 1, 17))
        .ptr;
}
