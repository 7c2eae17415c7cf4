// File menu of the main window: the printed report. The drawing itself is the
// toolkit-free draw_report; this file brings the printer and its dialog.
#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "main_window.h"
#include "report_pdf.h"
#include "report_printing.h"
#include "report_source.h"
#include "subject_file.h"

namespace {

class platform_print_dialog : public print_dialog_port {
public:
    bool exec_print_dialog(QPrinter& printer, QWidget* parent) override {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

print_dialog_port* replacement_dialog = nullptr;
QPrinter* the_printer = nullptr;

void delete_printer() {
    delete the_printer;
    the_printer = nullptr;
}

}  // namespace

void set_print_dialog_port(print_dialog_port* port) { replacement_dialog = port; }

print_dialog_port& current_print_dialog() {
    static platform_print_dialog platform;
    return replacement_dialog ? *replacement_dialog : platform;
}

QPrinter& report_printer() {
    if (!the_printer) {
        the_printer = new QPrinter(QPrinter::HighResolution);
        the_printer->setPageMargins(QMarginsF(report_pdf_margin_mm, report_pdf_margin_mm,
                                              report_pdf_margin_mm, report_pdf_margin_mm),
                                    QPageLayout::Millimeter);
        // The printer lives as long as the application, not past it.
        qAddPostRoutine(delete_printer);
    }
    return *the_printer;
}

QString print_report(QPrinter& printer, const report_input& input) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (printer.outputFileName().isEmpty()) return QStringLiteral("Sorry, cannot print the report.");
        return QStringLiteral("Sorry, cannot print the report to %1.")
            .arg(QFileInfo(printer.outputFileName()).absoluteFilePath());
    }
    draw_report(painter, printer.width(), printer.height(), input);
    painter.end();
    return {};
}

void Tmain_F::print_IClick() {
    // Available only after a run: the run controller enables the entry.
    if (print_I && !print_I->isEnabled()) return;
    QPrinter& printer = report_printer();
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!current_print_dialog().exec_print_dialog(printer, this)) return;
    // The title's date is taken now, after the dialog.
    const QString failure = print_report(printer, report_input_now());
    if (!failure.isEmpty()) ui().show_error(failure);
}

report_input Tmain_F::report_input_now() const {
    report_input input = report_input_from(sim_, clinical_text(), subject_date_time_now());
    if (reference_) {
        const reference_run reference = *reference_;
        const run_state state = sim_.state();
        input.reference_name = reference_title(reference);
        input.reference_seconds = reference.seconds;
        input.reference_value = [reference, state](int d, int t) { return reference.value(state, d, t); };
    }
    return input;
}
