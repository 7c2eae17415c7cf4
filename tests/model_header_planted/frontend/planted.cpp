// SPDX-License-Identifier: Apache-2.0
// A front-end source that includes the model's header: model_header_confined
// must name it (the check's own test runs it over this folder).
#include "tolvane_model.h"
