// Decimal numbers read as the C library reads them in the "C" locale, with
// the same result whatever locale the application runs under. Used by the
// panels' value entry and by the subject-file reader.
#ifndef TOLVANE_C_NUMBER_H
#define TOLVANE_C_NUMBER_H

#include <cstddef>

// A number found at the start of a text.
struct c_number {
    double value = 0.0;      // +-HUGE_VAL on overflow, 0 (or a denormal) on underflow
    std::size_t length = 0;  // characters used; 0 when the text does not begin with a number
};

// Reads an optional sign, digits with an optional decimal point (at least one
// digit) and an optional exponent from text[0..size); no leading blanks, no
// hex, "inf" or "nan". Never reads past size.
c_number scan_c_number(const char* text, std::size_t size);

#endif
