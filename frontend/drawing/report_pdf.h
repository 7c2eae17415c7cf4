// SPDX-License-Identifier: Apache-2.0
// The printed report written as a PDF file, without a printer or a display:
// tolvane-batch uses it, and it is the reference output of the report tests.
#ifndef TOLVANE_REPORT_PDF_H
#define TOLVANE_REPORT_PDF_H

#include <QString>

#include "report.h"
#include "safe_file.h"

// Page set-up of the PDF report: A4 landscape, these margins on every side
// (a printer's usual unprintable border, so one report unit is about 1 mm as
// the layout expects), this resolution in device units per inch.
inline constexpr double report_pdf_margin_mm = 5.0;
inline constexpr int report_pdf_resolution = 600;

// Writes the one-page report of input to path as a PDF (A4 landscape).
// On failure the message says why (the file could not be written); a failed
// write leaves no claim of success. Needs a QGuiApplication (fonts), which
// may run on the offscreen platform.
save_result write_report_pdf(const QString& path, const report_input& input);

#endif
