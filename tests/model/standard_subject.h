// Test helper: makes the standard subject live without going through
// load_new(), so that tests of single concerns need nothing else.
#ifndef TOLVANE_TESTS_STANDARD_SUBJECT_H
#define TOLVANE_TESTS_STANDARD_SUBJECT_H

#include "model_internal.h"

inline void make_standard_subject_live()
{
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) {
        factor[i].value = s_factor[i];
    }
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS - 1; ++i) {
        display[i].value = s_display[i].standard;
    }
    display[TOLVANE_NUM_DISPLAYS - 1].value = 0;
    for (int i = 0; i < TOLVANE_NUM_OTHERS; ++i) {
        other[i] = s_other[i];
    }
    height.value = s_height;
    weight.value = s_weight;
    age.value = s_age;
    sex = s_sex;
}

#endif
