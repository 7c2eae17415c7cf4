// SPDX-License-Identifier: Apache-2.0
// The text of tolvane-batch --list: the catalogue as a user needs it to name
// a factor or a display variable on the command line or in a script.
#ifndef TOLVANE_CATALOGUE_LISTING_H
#define TOLVANE_CATALOGUE_LISTING_H

#include "batch_options.h"

#include <QString>

// One line per entry in four columns: index, short name, unit, and the limits
// with the standard subject's value; a heading before each table.
QString catalogue_listing(catalogue_list which);

#endif
