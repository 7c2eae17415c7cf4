// SPDX-License-Identifier: Apache-2.0
// Command line of tolvane-batch: parsed into one options record first, then
// acted on, so a new option is one table row plus one field.
#ifndef TOLVANE_BATCH_OPTIONS_H
#define TOLVANE_BATCH_OPTIONS_H

#include "history_csv.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// What --list prints: nothing (no --list), both tables or one of them.
enum class catalogue_list { none, both, factors, displays };

// One --set NAME=VALUE or INDEX=VALUE.
struct factor_setting {
    int index = 0;
    double value = 0.0;
    QString text;  // VALUE as given
};

struct batch_options {
    bool help = false;
    bool version = false;                        // --version
    catalogue_list list = catalogue_list::none;  // --list [factors|displays]
    std::optional<QString> subject_path;         // --subject FILE.sbj
    std::vector<factor_setting> settings;        // --set INDEX=VALUE, in order
    int minutes = 0;                             // --minutes N
    std::optional<QString> csv_path;             // --csv OUT.csv
    int csv_digits = csv_default_digits;         // --digits N: significant digits in the CSV
    std::optional<QString> save_path;            // --save OUT.sbj
    std::optional<QString> script_path;          // --script FILE: scenario script instead of --minutes
    std::optional<QString> report_path;          // --report OUT.pdf
};

// Largest --minutes: keeps the clock far inside 32-bit seconds.
inline constexpr int batch_max_minutes = 1000000;

struct batch_parse_result {
    batch_options options;
    QString error;  // empty when the command line is sound
};

// Parses the arguments after the program name. Factors are short names or
// indices checked against the catalogue; values must be plain decimal numbers.
batch_parse_result parse_batch_arguments(const QStringList& arguments);

// The --help text (from the manual page's source).
QString batch_usage();

#endif
