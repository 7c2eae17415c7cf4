// SPDX-License-Identifier: Apache-2.0
// What the subject breathes now, read from the model: natural breathing or
// the ventilator's settings, the glottis, and a bag's live contents. For the
// main window's status line and the respiration dialog's bag fields.
#ifndef TOLVANE_BREATHING_CIRCUIT_H
#define TOLVANE_BREATHING_CIRCUIT_H

#include <QString>
#include <optional>

// A bag's contents as the subject breathes from it or fills it.
struct bag_contents {
    double volume = 0;  // ml BTPS
    double co2 = 0;     // percent
    double o2 = 0;      // percent
};

// The bag's live contents while one is attached (bag states 11 to 13);
// none otherwise. Requires estab_pnt().
std::optional<bag_contents> live_bag();

// One line: "Breathing: room air, natural ventilation", "... ventilator rate
// 12.00 /min, tidal 600.0 ml, PEEP 0.0 cm water", "glottis closed", or
// "rebreathing from the bag: 5873 ml, CO2 5.9 %, O2 14.2 %".
QString breathing_text();

#endif
