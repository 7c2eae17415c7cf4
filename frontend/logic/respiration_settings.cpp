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
    const QByteArray bytes = text.toLatin1();
    return read_leading_number(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

respiration_texts current_respiration_texts()
{
    respiration_texts t;
    t.rate = QString::asprintf("%.2f", double(res_rate->value));
    t.tidal = QString::asprintf("%.1f", double(tidal->value));
    t.peep = QString::asprintf("%.1f", double(positive->value));
    t.bag_volume = QString::asprintf("%.1f", double(bag_vol->value));
    t.bag_co2 = QString::asprintf("%.1f", double(bag_co2->value));
    t.bag_o2 = QString::asprintf("%.1f", double(bag_o2->value));
    return t;
}

respiration_ok_result apply_respiration_settings(const respiration_pending& pending,
                                                 const respiration_texts& texts)
{
    return apply_respiration(pending,
                             {read_leading_number(texts.rate), read_leading_number(texts.tidal),
                              read_leading_number(texts.peep), read_leading_number(texts.bag_volume),
                              read_leading_number(texts.bag_co2), read_leading_number(texts.bag_o2)});
}
