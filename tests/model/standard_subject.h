// SPDX-License-Identifier: Apache-2.0
// Test helper: makes the standard subject live, as the front end does at
// start-up, for tests of single concerns.
#ifndef TOLVANE_TESTS_STANDARD_SUBJECT_H
#define TOLVANE_TESTS_STANDARD_SUBJECT_H

#include "model_internal.h"

inline void make_standard_subject_live()
{
    display[TOLVANE_NUM_DISPLAYS - 1].value = 0;
    load_new();
}

#endif
