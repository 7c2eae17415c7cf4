// SPDX-License-Identifier: Apache-2.0
// The command line and the check shared by the programs that write the
// generated documents (tolvane-validate, tolvane-envelope):
//   PROGRAM CASES_DIR OUT [--compare FILE.md]
#ifndef TOLVANE_GENERATED_DOCUMENT_H
#define TOLVANE_GENERATED_DOCUMENT_H

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

struct generator_arguments {
    QString cases_dir;
    QString out;
    QString compare;  // empty without --compare
};

// Reads the arguments after the program name. Returns nothing, having
// printed what is wrong (or usage_line) on stderr, when they do not fit.
std::optional<generator_arguments> read_generator_arguments(QStringList args, const char* program,
                                                            const char* usage_line);

// Prints "PROGRAM: text" on stderr.
void say_from(const char* program, const QString& text);

// True when the file `committed` holds exactly `fresh`; otherwise prints the
// first differing line and how to regenerate the document, and returns false.
bool equals_committed(const QString& committed, const QByteArray& fresh, const char* program,
                      const QString& regenerate_hint);

#endif
