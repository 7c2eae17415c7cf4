// SPDX-License-Identifier: Apache-2.0
// Respiration settings: formatting the model's ventilator and bag values and
// writing the confirmed ones back through the model's references.
#include "respiration_settings.h"

#include "number_text.h"
#include "tolvane_model.h"

#include <cctype>

std::optional<int> bag_button_of_state(std::int32_t bag_state)
{
    for (int i = 0; i < int(bag_button_states.size()); ++i)
        if (bag_button_states[i] == bag_state) return i;
    return std::nullopt;
}

double read_leading_number(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return read_leading_number(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

respiration_texts current_respiration_texts()
{
    respiration_texts t;
    t.rate = QString::fromStdString(respiration_rate_string(res_rate->value));
    t.tidal = respiration_field_text(tidal->value);
    t.peep = respiration_field_text(positive->value);
    t.bag_volume = respiration_field_text(bag_vol->value);
    t.bag_co2 = respiration_field_text(bag_co2->value);
    t.bag_o2 = respiration_field_text(bag_o2->value);
    return t;
}

QString respiration_field_text(float value)
{
    return QString::fromStdString(respiration_field_string(value));
}

std::optional<std::pair<float, float>> accepted_bag_percentages(const respiration_texts& texts)
{
    const double co2 = read_leading_number(texts.bag_co2);
    const double o2 = read_leading_number(texts.bag_o2);
    if (bag_percentages_exceed_100(co2, o2)) return std::nullopt;
    return std::pair{clamp_to_limits(co2, bag_co2->minimum, bag_co2->maximum),
                     clamp_to_limits(o2, bag_o2->minimum, bag_o2->maximum)};
}

respiration_ok_result apply_respiration_settings(const respiration_pending& pending,
                                                 const respiration_texts& texts)
{
    return apply_respiration(pending,
                             {read_leading_number(texts.rate), read_leading_number(texts.tidal),
                              read_leading_number(texts.peep), read_leading_number(texts.bag_volume),
                              read_leading_number(texts.bag_co2), read_leading_number(texts.bag_o2)});
}
