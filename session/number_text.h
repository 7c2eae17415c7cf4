// Numbers and times as the programs read and write them, the same in every
// locale: the panels' and dialogs' reading of a typed number, fixed-point
// texts as the window has always shown and saved them, and "mm:ss".
#ifndef TOLVANE_NUMBER_TEXT_H
#define TOLVANE_NUMBER_TEXT_H

#include <optional>
#include <string>
#include <string_view>

// printf's "%.Nf" with decimals N, padded with blanks on the left to width
// and with a blank before a value that is not negative when space_sign (as
// "% 9.1f"), in the form the window's texts have always had: a value exactly
// halfway between two N-decimal texts rounds away from zero (printf rounds
// to even), and a zero is written without a sign. "inf" and "nan" as printf.
std::string format_fixed(double value, int decimals, int width = 0, bool space_sign = false);

// minutes_seconds_text: "%02d:%02d" of seconds / 60 and seconds % 60; minutes are not
// wrapped at 60 (75 minutes read "75:00"); negative times keep C division.
std::string minutes_seconds_text(int seconds);

// read_minutes_seconds: "m:ss" or "mm:ss" (one to seven minute digits, exactly two second
// digits below 60) back into seconds; nullopt for any other text.
std::optional<int> read_minutes_seconds(std::string_view text);

// Converts text like the C library's atof in the "C" locale (leading blanks
// skipped, longest decimal prefix, 0 when there is none; no hex, inf or nan),
// rounded to single precision; a magnitude beyond float gives +-FLT_MAX.
float atof_value(std::string_view text);

// Reads a field's text as a leading decimal number with a full stop as the
// decimal separator, whatever the locale: leading white space and a sign are
// allowed, text after the number is ignored, text not starting with a number
// gives 0. Never returns NaN; overflow gives +-HUGE_VAL.
double read_leading_number(std::string_view text);

#endif
