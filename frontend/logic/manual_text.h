// The two shapes of a program_manual: the --help text on a terminal and the
// manual page in roff (man(7) macros), made by the build.
#ifndef TOLVANE_MANUAL_TEXT_H
#define TOLVANE_MANUAL_TEXT_H

#include "program_manuals.h"

#include <string>

// The version both programs and their manual pages carry.
std::string_view program_version();

// Usage lines, the summary, every option and the sections marked in_help,
// wrapped to 79 columns.
std::string help_text(const program_manual& manual);

// "tolvane-batch 2.01" and a newline: the --version text.
std::string version_text(const program_manual& manual);

// The whole manual as a section 1 manual page.
std::string roff_page(const program_manual& manual);

#endif
