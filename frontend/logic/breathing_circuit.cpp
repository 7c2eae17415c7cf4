// SPDX-License-Identifier: Apache-2.0
#include "breathing_circuit.h"

#include "catalogue_view.h"
#include "pressure_mode.h"
#include "respiration.h"
#include "slot_ids.h"

#include <algorithm>

namespace {

// ml BTPS times percent to the model's STPD amount, as the model's bag
// converts (water vapour from body temperature, dry pressure at least 1 mm Hg).
double btps_percent_to_stpd_now()
{
    const double t = factor_records()[factor_id::body_temperature].value;
    const double pb = factor_value_in_model_units(factor_id::barometric_pressure, listed_factors_in_kpa());
    const double dry = std::max(pb - 0.03 * t * t - 5.92, 1.0);
    return static_cast<float>(static_cast<float>(dry) * 0.003592 / (t + 273));
}

QString fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

}  // namespace

std::optional<bag_contents> live_bag()
{
    if (bag_fields_locked(current_respiration_pending().bag_state).value_or(true)) return std::nullopt;
    bag_contents bag;
    bag.volume = current_respiration_numbers().bag_volume;
    const double capacity = bag.volume * btps_percent_to_stpd_now();
    if (capacity > 0) {
        const std::span<const catalogue_record> displays = display_records();
        bag.co2 = displays[display_id::bag_co2_amount].value / capacity;
        bag.o2 = displays[display_id::bag_o2_amount].value / capacity;
    }
    return bag;
}

QString breathing_text()
{
    QString text = QStringLiteral("Breathing: ");
    const respiration_pending now = current_respiration_pending();
    const std::optional<bag_contents> bag = live_bag();
    if (now.bag_state == bag_state_id::glottis_closed) {
        text += QStringLiteral("glottis closed (breath held)");
    } else if (bag) {
        const QString how = now.bag_state == bag_state_id::collect_expired
                                ? QStringLiteral("collecting expired air in the bag")
                            : now.bag_state == bag_state_id::rebreathe
                                ? QStringLiteral("rebreathing from the bag")
                                : QStringLiteral("rebreathing from the bag with CO2 absorber");
        text += QStringLiteral("%1: %2 ml, CO2 %3 %, O2 %4 %")
                    .arg(how, fixed(bag->volume, 0), fixed(bag->co2, 1), fixed(bag->o2, 1));
    } else {
        text += QStringLiteral("room air");
    }
    if (now.ventilation != 0) {
        text += QStringLiteral(", natural ventilation");
    } else {
        const respiration_numbers set = current_respiration_numbers();
        text += QStringLiteral(", ventilator rate %1 /min, tidal %2 ml, PEEP %3 cm water")
                    .arg(fixed(set.rate, 2), fixed(set.tidal, 1), fixed(set.peep, 1));
    }
    const std::span<const catalogue_record> factors = factor_records();
    text += QStringLiteral("; inspired O2 %1 %, CO2 %2 %")
                .arg(fixed(factors[factor_id::inspired_o2].value, 2),
                     fixed(factors[factor_id::inspired_co2].value, 2));
    return text;
}
