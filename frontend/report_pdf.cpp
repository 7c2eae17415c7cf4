// The printed report as a PDF file.
#include "report_pdf.h"

#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

QString write_report_pdf(const QString& path, const report_input& input) {
    QPdfWriter writer(path);
    writer.setResolution(report_pdf_resolution);
    writer.setCreator(QStringLiteral("Tolvane"));
    writer.setTitle(QStringLiteral("Tolvane report"));
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                             QMarginsF(report_pdf_margin_mm, report_pdf_margin_mm,
                                       report_pdf_margin_mm, report_pdf_margin_mm),
                             QPageLayout::Millimeter);
    writer.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&writer))
        return QStringLiteral("cannot write the report to %1").arg(QFileInfo(path).absoluteFilePath());
    draw_report(painter, writer.width(), writer.height(), input);
    if (!painter.end())
        return QStringLiteral("cannot finish the report in %1").arg(QFileInfo(path).absoluteFilePath());
    return {};
}
