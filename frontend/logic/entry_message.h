// SPDX-License-Identifier: Apache-2.0
// What the hint line says about a value typed into a factor or passport
// field when the field did not take it as typed: the limit it was set to, or
// the 0 read from text that starts with no number.
#ifndef TOLVANE_ENTRY_MESSAGE_H
#define TOLVANE_ENTRY_MESSAGE_H

#include <QString>

#include "panel_logic.h"

// True when text starts (after blanks and a sign) with no digit, so that the
// field reads it as 0.
bool reads_as_zero(const QString& text);

// "Inspired O2 percentage: 206.93 is above 100; set to 100", "...: 3 is below
// 10; set to 10", "...: \"abc\" is no number, read as 0" (and the limit
// when 0 lies outside it); empty when the value was taken as typed.
// minimum and maximum are the record's limits, entered what enter_value did.
QString entry_message(const QString& name, const QString& typed, float minimum, float maximum,
                      const entered_value& entered);

#endif
