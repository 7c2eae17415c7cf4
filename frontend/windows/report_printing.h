// SPDX-License-Identifier: Apache-2.0
// Printing the report from the main window: the system printer the report
// goes to, the print dialog behind a small interface so that tests answer it
// instead of a person, and the printing itself.
#ifndef TOLVANE_REPORT_PRINTING_H
#define TOLVANE_REPORT_PRINTING_H

#include <QString>

#include "report.h"
#include "result.h"

class QPrinter;
class QWidget;

// The print dialog as the "&Print ..." command sees it.
class print_dialog_port {
public:
    virtual ~print_dialog_port() = default;
    // Shows the print dialog for printer over parent and returns true when the
    // user chose to print; false on cancel. It may change the printer's
    // settings (device, output file, orientation).
    virtual bool exec_print_dialog(QPrinter& printer, QWidget* parent) = 0;
};

// Replaces the dialog that "&Print ..." shows; nullptr puts the platform's
// print dialog back. The port must stay alive while it is set.
void set_print_dialog_port(print_dialog_port* port);

// The dialog "&Print ..." shows now: the one set, else the platform's.
print_dialog_port& current_print_dialog();

// The printer the report goes to: the system printer (a PDF file where no
// printer is set up), created on first use with 5 mm margins and kept for the
// process, so the dialog's choices and the landscape orientation persist.
QPrinter& report_printer();

// How printing the report ended.
enum class print_status {
    ok,
    cannot_start,  // the printer (or the PDF drawn for a chosen file) could not be started
    write_failed,  // the drawing could not be completed or the chosen file not written
};
using print_result = result<print_status>;

// Draws the report of input on printer as one page. On failure the message
// is the text to show (the printer could not be started, e.g. an output
// file that cannot be written).
print_result print_report(QPrinter& printer, const report_input& input);

#endif
