// SPDX-License-Identifier: Apache-2.0
// A subject factor as a user names it on the command line, in a script or
// through the C interface: by its short name in any case ("inspired_o2",
// "Inspired_O2"), by the catalogue's long name ("Inspired O2 percentage") or
// by its index in the catalogue ("16"). An unknown name is answered with the
// nearest short names.
#ifndef TOLVANE_FACTOR_LOOKUP_H
#define TOLVANE_FACTOR_LOOKUP_H

#include <string>
#include <string_view>
#include <vector>

struct factor_lookup {
    int index = -1;     // -1 when the text names no factor
    std::string error;  // why not, e.g. unknown factor "inspired_02" (nearest: inspired_o2, ...)
};

// Resolves a factor given as a whole number 0..31 (blanks around it
// allowed), a short name or a long name, the names in any case.
factor_lookup find_factor(std::string_view text);

// Resolves a display variable given as a whole number 0..62 or a short
// name in any case.
factor_lookup find_display(std::string_view text);

// Up to three short names of factors closest to text by edit distance, the
// closest first; empty when none is near enough to be a likely typo.
std::vector<std::string> nearest_factor_names(std::string_view text);

// The same among the display variables' short names.
std::vector<std::string> nearest_display_names(std::string_view text);

// Levenshtein distance: the fewest single-character insertions, deletions
// and substitutions turning a into b (characters are bytes).
int edit_distance(std::string_view a, std::string_view b);

#endif
