// SPDX-License-Identifier: Apache-2.0
// Respiration settings: formatting the model's ventilator and bag values and
// writing the confirmed ones back through the model's references.
#include "respiration_settings.h"

#include "c_number.h"
#include "panel_logic.h"
#include "tolvane_model.h"

#include <cctype>

std::optional<int> bag_button_of_state(std::int32_t bag_state)
{
    for (int i = 0; i < int(bag_button_states.size()); ++i)
        if (bag_button_states[i] == bag_state) return i;
    return std::nullopt;
}

std::optional<bool> bag_fields_locked(std::int32_t bag_state)
{
    switch (bag_state) {
    case bag_state_id::glottis_closed:
    case bag_state_id::standard:
        return true;
    case bag_state_id::collect_expired:
    case bag_state_id::rebreathe:
    case bag_state_id::rebreathe_absorber:
        return false;
    default:
        return std::nullopt;
    }
}

double read_leading_number(const QString& text)
{
    // Only ASCII can belong to a number; anything else ends the scan.
    const QByteArray bytes = text.toLatin1();
    qsizetype i = 0;
    while (i < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[i]))) ++i;
    const c_number number = scan_c_number(bytes.constData() + i, std::size_t(bytes.size() - i));
    return number.length == 0 ? 0.0 : number.value;
}

float clamp_to_limits(double value, float minimum, float maximum)
{
    // Round to float first (an infinity stays infinite), then clamp.
    const float v = static_cast<float>(value);
    if (v < minimum) return minimum;
    if (v > maximum) return maximum;
    return v;
}

respiration_pending current_respiration_pending()
{
    respiration_pending pending;
    pending.ventilation = static_cast<std::uint8_t>(*ventilation & 0xff);
    pending.bag_state = *bag_index;
    return pending;
}

respiration_texts current_respiration_texts()
{
    respiration_texts t;
    t.rate = QString::asprintf("%.2f", double(res_rate->value));
    t.tidal = respiration_field_text(tidal->value);
    t.peep = respiration_field_text(positive->value);
    t.bag_volume = respiration_field_text(bag_vol->value);
    t.bag_co2 = respiration_field_text(bag_co2->value);
    t.bag_o2 = respiration_field_text(bag_o2->value);
    return t;
}

QString respiration_field_text(float value) { return QString::asprintf("%.1f", double(value)); }

namespace {

// One field read and clamped to the limits of the record it will go into.
float read_field(const QString& text, const catalogue_record& record)
{
    return clamp_to_limits(read_leading_number(text), record.minimum, record.maximum);
}

}  // namespace

std::optional<std::pair<float, float>> accepted_bag_percentages(const respiration_texts& texts)
{
    const float c = read_field(texts.bag_co2, *bag_co2);
    const float o = read_field(texts.bag_o2, *bag_o2);
    if (double(c) + double(o) > 100.0) return std::nullopt;
    return std::pair{c, o};
}

respiration_ok_result apply_respiration_settings(const respiration_pending& pending,
                                                 const respiration_texts& texts)
{
    // The whole flag takes the byte: upper bits left over from elsewhere
    // would otherwise make an artificial setting read as natural to any
    // reader that tests the whole word.
    *ventilation = pending.ventilation;
    res_rate->value = read_field(texts.rate, *res_rate);
    tidal->value = read_field(texts.tidal, *tidal);
    positive->value = read_field(texts.peep, *positive);
    *bag_index = pending.bag_state;
    bag_vol->value = read_field(texts.bag_volume, *bag_vol);

    const std::optional<std::pair<float, float>> percentages = accepted_bag_percentages(texts);
    if (!percentages) return respiration_ok_result::percentages_exceed_100;

    bag_co2->value = percentages->first;
    bag_o2->value = percentages->second;
    {
        // A newly attached bag is filled by amounts reckoned from the
        // barometric pressure, which the model reads in mm Hg.
        const model_units_scope model_units(listed_factors_in_kpa());
        bager(2, nullptr, nullptr);
    }
    return respiration_ok_result::accepted;
}
