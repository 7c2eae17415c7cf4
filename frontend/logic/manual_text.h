// SPDX-License-Identifier: Apache-2.0
// The two shapes of a program_manual: the --help text on a terminal and the
// manual page in roff (man(7) macros), made by the build.
#ifndef TOLVANE_MANUAL_TEXT_H
#define TOLVANE_MANUAL_TEXT_H

#include "program_manuals.h"

#include <string>

// The version both programs and their manual pages carry.
std::string_view program_version();

// The licence the programs are offered under, as the --version text, the
// manual pages and the About window name it.
std::string_view program_licence();

// The usage lines and a pointer to --help: what a program prints to
// standard error when it is called wrongly.
std::string short_usage_text(const program_manual& manual);

// Usage lines, the summary, every option and the sections marked in_help,
// wrapped to 79 columns.
std::string help_text(const program_manual& manual);

// "tolvane-batch 2.01" and a line naming the licence: the --version text.
std::string version_text(const program_manual& manual);

// The whole manual as a section 1 manual page.
std::string roff_page(const program_manual& manual);

#endif
