// SPDX-License-Identifier: Apache-2.0
// File menu of the main window: the printed report. The drawing itself is the
// toolkit-free draw_report; this file brings the printer and its dialog.
#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

#include "main_window.h"
#include "pressure_units.h"
#include "report_pdf.h"
#include "report_printing.h"
#include "report_source.h"
#include "result_text.h"
#include "safe_file.h"
#include "subject_file.h"

namespace {

class platform_print_dialog : public print_dialog_port {
public:
    bool exec_print_dialog(QPrinter& printer, QWidget* parent) override
    {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

print_dialog_port* replacement_dialog = nullptr;
QPrinter* the_printer = nullptr;

void delete_printer()
{
    delete the_printer;
    the_printer = nullptr;
}

}  // namespace

void set_print_dialog_port(print_dialog_port* port) { replacement_dialog = port; }

print_dialog_port& current_print_dialog()
{
    static platform_print_dialog platform;
    return replacement_dialog ? *replacement_dialog : platform;
}

QPrinter& report_printer()
{
    if (!the_printer) {
        the_printer = new QPrinter(QPrinter::HighResolution);
        the_printer->setPageMargins(
            QMarginsF(report_pdf_margin_mm, report_pdf_margin_mm, report_pdf_margin_mm, report_pdf_margin_mm),
            QPageLayout::Millimeter);
        // The printer lives as long as the application, not past it.
        qAddPostRoutine(delete_printer);
    }
    return *the_printer;
}

namespace {

// A PDF file chosen in the print dialog is drawn in memory with the
// printer's page layout and resolution, then written through a temporary
// file beside it: a full disk or a bad folder is reported and an existing
// file stays as it was (the printer itself would report success).
print_result print_report_to_pdf_file(const QPrinter& printer, const report_input& input)
{
    const QString where = QFileInfo(printer.outputFileName()).absoluteFilePath();
    const std::string text = QStringLiteral("Sorry, cannot print the report to %1.").arg(where).toStdString();
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(printer.resolution());
        writer.setPageLayout(printer.pageLayout());
        writer.setCreator(QStringLiteral("Tolvane"));
        writer.setTitle(printer.docName());
        QPainter painter;
        if (!painter.begin(&writer)) return print_result::failure(print_status::cannot_start, text);
        draw_report(painter, writer.width(), writer.height(), input);
        if (!painter.end()) return print_result::failure(print_status::write_failed, text);
    }
    if (write_file_safely(printer.outputFileName(), pdf.data()).ok()) return {};
    return print_result::failure(print_status::write_failed, text);
}

}  // namespace

print_result print_report(QPrinter& printer, const report_input& input)
{
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return print_report_to_pdf_file(printer, input);
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (printer.outputFileName().isEmpty())
            return print_result::failure(print_status::cannot_start, "Sorry, cannot print the report.");
        return print_result::failure(print_status::cannot_start,
                                     QStringLiteral("Sorry, cannot print the report to %1.")
                                         .arg(QFileInfo(printer.outputFileName()).absoluteFilePath())
                                         .toStdString());
    }
    draw_report(painter, printer.width(), printer.height(), input);
    painter.end();
    return {};
}

void Tmain_F::print_IClick()
{
    // Available only after a run: the run controller enables the entry.
    if (print_I && !print_I->isEnabled()) return;
    QPrinter& printer = report_printer();
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!current_print_dialog().exec_print_dialog(printer, this)) return;
    // The title's date is taken now, after the dialog.
    const print_result printed = print_report(printer, report_input_now());
    if (!printed.ok())
        ui().show_error(message_text(printed));
    else
        sim_.controller().events().mark_kept();
}

report_input Tmain_F::report_input_now() const
{
    report_input input = report_input_from(sim_, clinical_text(), subject_date_time_now());
    int number = 0;
    for (const run_event& event : sim_.controller().events().current_branch())
        input.event_lines << QStringLiteral("%1  %2 %3 %4")
                                 .arg(++number)
                                 .arg(format_minutes_seconds(event.time), QString::fromStdString(event.what),
                                      QString::fromStdString(event.value));
    if (reference_) {
        const reference_run reference = *reference_;
        const run_state state = sim_.state();
        input.reference_name = reference_title(reference);
        input.reference_seconds = reference.seconds;
        input.reference_value = [reference, state](int d, int t) { return reference.value(state, d, t); };
    }
    return input;
}
