// SPDX-License-Identifier: Apache-2.0
// Ventilation and bag settings as the respiration dialog edits them: the
// model's current settings as the fields show them, and the numbers OK reads
// from the fields, which the dialog enters through its run_session.
#ifndef TOLVANE_RESPIRATION_SETTINGS_H
#define TOLVANE_RESPIRATION_SETTINGS_H

#include "respiration.h"
#include "slot_ids.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

// The six edit-field texts of the dialog, in the form shown and typed.
struct respiration_texts {
    QString rate;        // respiratory rate, cycles/minute
    QString tidal;       // tidal volume, ml BTPS
    QString peep;        // positive end-expiratory pressure, cm water
    QString bag_volume;  // ml BTPS
    QString bag_co2;     // percentage
    QString bag_o2;      // percentage
};

// The five bag states in the order of the dialog's bag radio buttons.
inline constexpr std::array<std::int32_t, 5> bag_button_states = {
    bag_state_id::glottis_closed, bag_state_id::collect_expired, bag_state_id::rebreathe,
    bag_state_id::rebreathe_absorber, bag_state_id::standard};

// The radio-button row (0..4) of a bag state, or none for any other number.
std::optional<int> bag_button_of_state(std::int32_t bag_state);

// read_leading_number of a field's text (number_text.h).
double read_leading_number(const QString& text);

// The model's current settings formatted for the fields: rate "%.2f", tidal
// volume, PEEP and the three bag values "%.1f". Requires estab_pnt().
respiration_texts current_respiration_texts();

// The text of a volume, pressure or percentage field for a value ("%.1f").
QString respiration_field_text(float value);

// The six fields' numbers as OK reads them (read_leading_number).
respiration_numbers respiration_numbers_of(const respiration_texts& texts);

#endif
