#include "c_number.h"

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

locale_t c_locale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

}  // namespace

c_number scan_c_number(const char* text, std::size_t size)
{
    c_number result;
    if (text == nullptr) return result;
    std::size_t p = 0;
    if (p < size && (text[p] == '+' || text[p] == '-')) ++p;
    std::size_t digits = 0;
    while (p < size && is_digit(text[p])) ++p, ++digits;
    if (p < size && text[p] == '.') {
        ++p;
        while (p < size && is_digit(text[p])) ++p, ++digits;
    }
    if (digits == 0) return result;
    if (p < size && (text[p] == 'e' || text[p] == 'E')) {
        std::size_t e = p + 1;
        if (e < size && (text[e] == '+' || text[e] == '-')) ++e;
        if (e < size && is_digit(text[e])) {
            while (e < size && is_digit(text[e])) ++e;
            p = e;
        }
    }
    // The span holds only sign, digits, point and exponent, so strtod_l reads
    // exactly it; a copy gives it the terminating NUL the text may not have.
    const std::string span(text, p);
    result.value = strtod_l(span.c_str(), nullptr, c_locale());
    result.length = p;
    return result;
}
