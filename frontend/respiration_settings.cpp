// Respiration settings: formatting the model's ventilator and bag values and
// writing the confirmed ones back through the model's references.
#include "respiration_settings.h"

#include "tolvane_model.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

std::optional<int> bag_button_of_state(std::int32_t bag_state)
{
    for (int i = 0; i < int(bag_button_states.size()); ++i)
        if (bag_button_states[i] == bag_state)
            return i;
    return std::nullopt;
}

std::optional<bool> bag_fields_locked(std::int32_t bag_state)
{
    switch (bag_state) {
    case 9:
    case 10:
        return true;
    case 11:
    case 12:
    case 13:
        return false;
    default:
        return std::nullopt;
    }
}

double read_leading_number(const QString& text)
{
    // Work on the ASCII form: any character outside it cannot belong to a
    // number and ends the scan as well as any other non-numeric character.
    const std::string s = text.toLatin1().toStdString();
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r'
                            || s[i] == '\v' || s[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    // Only digits or a decimal point may start the number: from_chars would
    // otherwise also take "inf" and "nan".
    const bool digit_next = i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '9';
    if (i >= s.size() || !((s[i] >= '0' && s[i] <= '9') || (s[i] == '.' && digit_next)))
        return 0.0;
    double value = 0.0;
    const char* first = s.data() + i;
    const auto [end, error] = std::from_chars(first, s.data() + s.size(), value,
                                              std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large gives infinity (then clamped); too small gives 0. Tell the
        // two apart by the exponent's sign.
        const std::string number(first, end);
        const auto e = number.find_first_of("eE");
        const bool tiny = e != std::string::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (error != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

float clamp_to_limits(double value, float minimum, float maximum)
{
    // Round to float first (an infinity stays infinite), then clamp.
    const float v = static_cast<float>(value);
    if (v < minimum)
        return minimum;
    if (v > maximum)
        return maximum;
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
    t.tidal = QString::asprintf("%.1f", double(tidal->value));
    t.peep = QString::asprintf("%.1f", double(positive->value));
    t.bag_volume = QString::asprintf("%.1f", double(bag_vol->value));
    t.bag_co2 = QString::asprintf("%.1f", double(bag_co2->value));
    t.bag_o2 = QString::asprintf("%.1f", double(bag_o2->value));
    return t;
}

namespace {

// One field read and clamped to the limits of the record it will go into.
float read_field(const QString& text, const catalogue_record& record)
{
    return clamp_to_limits(read_leading_number(text), record.minimum, record.maximum);
}

} // namespace

respiration_ok_result apply_respiration_settings(const respiration_pending& pending,
                                                 const respiration_texts& texts)
{
    *ventilation = pending.ventilation;
    res_rate->value = read_field(texts.rate, *res_rate);
    tidal->value = read_field(texts.tidal, *tidal);
    positive->value = read_field(texts.peep, *positive);
    *bag_index = pending.bag_state;
    bag_vol->value = read_field(texts.bag_volume, *bag_vol);

    const float c = read_field(texts.bag_co2, *bag_co2);
    const float o = read_field(texts.bag_o2, *bag_o2);
    if (double(c) + double(o) > 100.0)
        return respiration_ok_result::percentages_exceed_100;

    bag_co2->value = c;
    bag_o2->value = o;
    bager(2, nullptr, nullptr);
    return respiration_ok_result::accepted;
}
