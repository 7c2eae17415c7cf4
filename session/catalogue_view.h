// SPDX-License-Identifier: Apache-2.0
// What the live model holds, for reading: the catalogue's records (names,
// units and limits as the units in force give them, with the live values),
// the standard subject's values, the passport and the other variables.
// The front end and the tools read the model through these functions, not
// through its exported variables, so that the session decides what is live.
// With several sessions in a process, read inside a session's with_model.
// The breathing circuit's settings are read through respiration.h, the
// recorded seconds through run_state.h.
#ifndef TOLVANE_CATALOGUE_VIEW_H
#define TOLVANE_CATALOGUE_VIEW_H

#include "tolvane_model.h"

#include <span>

// The factor records in catalogue order (factor_id), one per factor.
std::span<const catalogue_record> factor_records();

// The display records in catalogue order (display_id), the last being the
// placeholder "No display".
std::span<const catalogue_record> display_records();

// The other variables' values in catalogue order (other_id).
std::span<const float> other_values();

// The standard subject's value (load_new makes it live; a loaded subject
// replaces it) of factor i and of display variable i, in model units; 0 for
// an index outside the catalogue ("No display" has none).
float standard_factor_value(int i);
float standard_display_value(int i);

// The passport of the live subject.
struct passport_records {
    catalogue_record height{};
    catalogue_record weight{};
    catalogue_record age{};
    int sex = 1;  // 0 female, 1 male
};
passport_records live_passport();

#endif
