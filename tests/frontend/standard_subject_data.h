// SPDX-License-Identifier: Apache-2.0
// The standard subject as the subject-file reader would hand it over:
// standard_subject_data() of subject_file.h, the inverse of
// store_standard_subject().
#ifndef TOLVANE_TESTS_STANDARD_SUBJECT_DATA_H
#define TOLVANE_TESTS_STANDARD_SUBJECT_DATA_H

#include "subject_file.h"
#include "tolvane_model.h"

#endif
