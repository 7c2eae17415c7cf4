// SPDX-License-Identifier: Apache-2.0
// Respiration settings: the model's ventilator and bag values as the
// dialog's fields show them, and the numbers OK reads from the fields.
#include "respiration_settings.h"

#include "number_text.h"

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
    const respiration_numbers now = current_respiration_numbers();
    respiration_texts t;
    t.rate = QString::fromStdString(respiration_rate_string(static_cast<float>(now.rate)));
    t.tidal = respiration_field_text(static_cast<float>(now.tidal));
    t.peep = respiration_field_text(static_cast<float>(now.peep));
    t.bag_volume = respiration_field_text(static_cast<float>(now.bag_volume));
    t.bag_co2 = respiration_field_text(static_cast<float>(now.bag_co2));
    t.bag_o2 = respiration_field_text(static_cast<float>(now.bag_o2));
    return t;
}

QString respiration_field_text(float value)
{
    return QString::fromStdString(respiration_field_string(value));
}

respiration_numbers respiration_numbers_of(const respiration_texts& texts)
{
    return {read_leading_number(texts.rate),    read_leading_number(texts.tidal),
            read_leading_number(texts.peep),    read_leading_number(texts.bag_volume),
            read_leading_number(texts.bag_co2), read_leading_number(texts.bag_o2)};
}
