// SPDX-License-Identifier: Apache-2.0
// The one source of the programs' documentation: `--help` prints a part of it
// and the build turns all of it into the manual pages tolvane(1) and
// tolvane-batch(1), so the two cannot drift apart.
#ifndef TOLVANE_PROGRAM_MANUALS_H
#define TOLVANE_PROGRAM_MANUALS_H

#include <string_view>
#include <vector>

// One command-line option: "--set" with "FACTOR=VALUE", or "--help, -h".
struct manual_option {
    std::string_view names;     // the spellings, comma separated
    std::string_view argument;  // empty when the option takes none
    std::string_view text;
};

enum class block_kind {
    paragraph,  // running text
    item,       // a term (a script line, a status) and what it means
    example,    // lines shown as they are (commands, script text)
};

struct manual_block {
    block_kind kind;
    std::string_view term;  // item only
    std::string_view text;  // example: lines separated by '\n'
};

struct manual_section {
    std::string_view title;  // upper case, as a manual page heads it
    std::vector<manual_block> blocks;
    bool in_help = false;  // also printed by --help
};

struct program_manual {
    std::string_view program;
    std::string_view summary;                // the NAME line: what the program does
    std::vector<std::string_view> synopsis;  // usage forms without the program name
    std::vector<manual_block> description;
    std::vector<manual_option> options;
    std::vector<manual_section> sections;  // after OPTIONS, in page order
};

const program_manual& window_manual();  // tolvane
const program_manual& batch_manual();   // tolvane-batch

// The manual of a program by its name, or nullptr.
const program_manual* manual_named(std::string_view program);

#endif
