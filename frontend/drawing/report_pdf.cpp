// SPDX-License-Identifier: Apache-2.0
// The printed report as a PDF file.
#include "report_pdf.h"

#include "result_text.h"
#include "safe_file.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

// Draws the one-page report into device as an A4 landscape PDF; false when
// the painter could not start or finish.
bool draw_report_pdf(QIODevice& device, const report_input& input)
{
    QPdfWriter writer(&device);
    writer.setResolution(report_pdf_resolution);
    writer.setCreator(QStringLiteral("Tolvane"));
    writer.setTitle(QStringLiteral("Tolvane report"));
    const QPageLayout layout(
        QPageSize(QPageSize::A4), QPageLayout::Landscape,
        QMarginsF(report_pdf_margin_mm, report_pdf_margin_mm, report_pdf_margin_mm, report_pdf_margin_mm),
        QPageLayout::Millimeter);
    writer.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    draw_report(painter, writer.width(), writer.height(), input);
    return painter.end();
}

}  // namespace

save_result write_report_pdf(const QString& path, const report_input& input)
{
    // Drawn into memory first, then written through a temporary file beside
    // the target: a full disk or a bad folder leaves an existing file as it
    // was, and is reported rather than ending in a cut-off PDF.
    const QString where = output_path_for_messages(path);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    if (!draw_report_pdf(pdf, input))
        return save_result::failure(save_status::cannot_draw,
                                    QStringLiteral("cannot draw the report for %1").arg(where).toStdString());
    const save_result written = write_file_safely(path, pdf.data());
    if (written.ok()) return {};
    return save_result::failure(
        written.code(),
        QStringLiteral("cannot write the report to %1: %2").arg(where, message_text(written)).toStdString());
}
