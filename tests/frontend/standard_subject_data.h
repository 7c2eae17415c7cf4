// The standard subject as the subject-file reader would hand it over: the
// inverse of store_standard_subject().
#ifndef TOLVANE_TESTS_STANDARD_SUBJECT_DATA_H
#define TOLVANE_TESTS_STANDARD_SUBJECT_DATA_H

#include "subject_file.h"
#include "tolvane_model.h"

inline subject_data standard_subject_data()
{
    subject_data data;
    data.height = s_height;
    data.weight = s_weight;
    data.age = s_age;
    data.sex = s_sex;
    for (int i = 0; i < num_fct; ++i) data.factors[i] = s_factor[i];
    for (int i = 0; i < num_dsy - 1; ++i) data.displays[i] = s_display[i].standard;
    for (int i = 0; i < num_oth; ++i) data.others[i] = s_other[i];
    return data;
}

#endif
