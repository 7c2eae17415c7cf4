// SPDX-License-Identifier: Apache-2.0
#include "csv_text.h"

#include "cp1252_text.h"
#include "model_state.h"
#include "run_state.h"
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

std::string run_csv_header_text()
{
    // The catalogue as the process started it holds the mm Hg records.
    return history_csv_header_text(model_state::pristine().displays.data(), logged_displays);
}

namespace {

// The exact path: std::to_chars rounds the exact value as printf does.
char* format_exactly(char* out, double value, int digits)
{
    return std::to_chars(out, out + csv_number_max, value, std::chars_format::general, digits).ptr;
}

// Powers of ten that doubles hold exactly.
constexpr double exact_power_of_ten[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7, 1e8,
                                         1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};

// Most digits the fast path writes: one scaling in double then errs by less
// than 1e-7 of a unit in the last digit.
constexpr int plain_max_digits = 9;

// The fast path for values written without an exponent (1e-4 <= |v| <
// 10^digits): the digits from one scaling in double, whose error decides
// nothing unless the value is within 1e-6 of a rounding tie; then, and for
// anything out of range, nullptr sends the value to the exact path.
char* format_plainly(char* out, double value, int digits)
{
    const double magnitude = std::fabs(value);
    if (digits > plain_max_digits || !(magnitude >= 1e-4 && magnitude < exact_power_of_ten[digits]))
        return nullptr;
    int exponent = digits - 1;
    while (exponent > -4 &&
           magnitude < (exponent >= 0 ? exact_power_of_ten[exponent] : 1.0 / exact_power_of_ten[-exponent]))
        --exponent;
    const double scaled = magnitude * exact_power_of_ten[digits - 1 - exponent];
    if (!(scaled >= exact_power_of_ten[digits - 1] && scaled < exact_power_of_ten[digits])) return nullptr;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-6) return nullptr;
    long long number = static_cast<long long>(whole) + (fraction > 0.5 ? 1 : 0);
    if (number == static_cast<long long>(exact_power_of_ten[digits])) {
        number = static_cast<long long>(exact_power_of_ten[digits - 1]);
        ++exponent;
        if (exponent >= digits) return nullptr;  // now written with an exponent
    }
    char figures[plain_max_digits];
    for (int i = digits - 1; i >= 0; --i, number /= 10) figures[i] = static_cast<char>('0' + number % 10);
    int last = digits - 1;             // trailing zeros after the point are not written
    const int point_after = exponent;  // digit index the point follows (< 0: before them all)
    while (last > point_after && last > 0 && figures[last] == '0') --last;
    if (value < 0) *out++ = '-';
    if (point_after < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int z = point_after + 1; z < 0; ++z) *out++ = '0';
        for (int i = 0; i <= last; ++i) *out++ = figures[i];
        return out;
    }
    for (int i = 0; i <= last; ++i) {
        *out++ = figures[i];
        if (i == point_after && i < last) *out++ = '.';
    }
    return out;
}

}  // namespace

char* format_csv_number(char* out, double value, int digits)
{
    digits = std::clamp(digits, csv_min_digits, csv_max_digits);
    if (char* end = format_plainly(out, value, digits)) return end;
    return format_exactly(out, value, digits);
}

void append_csv_number(std::string& out, double value, int digits)
{
    char text[csv_number_max];
    out.append(text, static_cast<std::size_t>(format_csv_number(text, value, digits) - text));
}
