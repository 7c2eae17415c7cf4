// SPDX-License-Identifier: Apache-2.0
// "&Print ..." of the main window offscreen: available only after a run,
// landscape, nothing printed on cancel, one landscape page printed to a PDF
// file, a printer that cannot start reported. The print dialog is answered by
// a scripted port; one case drives the platform's dialog and cancels it.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "file_size_limit.h"
#include "main_window.h"
#include "report_printing.h"

namespace {

class recording_main_F : public Tmain_F {
public:
    QStringList errors, warnings;
    void beep() override {}
    void show_warning(const QString& text) override { warnings << text; }
    void show_error(const QString& text) override { errors << text; }
    void show_information(const QString&) override {}
    bool ask_ok_cancel(const QString&) override { return false; }
    std::optional<QString> open_file_dialog(const file_dialog_request&) override { return std::nullopt; }
    std::optional<QString> save_file_dialog(const file_dialog_request&) override { return std::nullopt; }
};

// Answers the print dialog: chooses a PDF file and prints, or cancels.
class scripted_print_dialog : public print_dialog_port {
public:
    QString output_file;
    bool accept = true;
    int shown = 0;
    QPageLayout::Orientation orientation_shown = QPageLayout::Portrait;

    bool exec_print_dialog(QPrinter& printer, QWidget*) override
    {
        ++shown;
        orientation_shown = printer.pageLayout().orientation();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(output_file);
        return accept;
    }
};

QByteArray read_all(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class report_print_test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<recording_main_F> window;
    scripted_print_dialog dialog;
    QTemporaryDir dir;

    void run_once() { QTest::mouseClick(window->run_B, Qt::LeftButton); }

    // After a run, Print through the platform's own dialog to the test's PDF
    // file, answering the dialog with answer (accept or reject) once it is up.
    // Returns whether the dialog was seen.
    bool print_through_platform_dialog(void (QDialog::*answer)())
    {
        run_once();
        set_print_dialog_port(nullptr);
        QPrinter& printer = report_printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dialog.output_file);
        bool seen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                seen = true;
                (modal->*answer)();
            }
        });
        poll.start(20);
        window->print_I->trigger();
        poll.stop();
        return seen;
    }

private slots:
    void init()
    {
        window = std::make_unique<recording_main_F>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        dialog = scripted_print_dialog{};
        dialog.output_file = dir.filePath(QStringLiteral("report.pdf"));
        QFile::remove(dialog.output_file);
        set_print_dialog_port(&dialog);
    }
    void cleanup()
    {
        set_print_dialog_port(nullptr);
        window.reset();
    }

    void print_is_available_only_after_a_run()
    {
        QVERIFY(!window->print_I->isEnabled());
        window->print_I->trigger();
        QCOMPARE(dialog.shown, 0);
        run_once();
        QVERIFY(window->print_I->isEnabled());
        QTest::mouseClick(window->reset_B, Qt::LeftButton);
        QVERIFY(!window->print_I->isEnabled());
    }

    void cancel_prints_nothing_and_leaves_landscape()
    {
        run_once();
        dialog.accept = false;
        window->print_I->trigger();
        QCOMPARE(dialog.shown, 1);
        QCOMPARE(dialog.orientation_shown, QPageLayout::Landscape);
        QVERIFY(!QFile::exists(dialog.output_file));
        QCOMPARE(report_printer().pageLayout().orientation(), QPageLayout::Landscape);
        QVERIFY(window->errors.isEmpty());
    }

    void prints_one_landscape_page()
    {
        run_once();
        window->print_I->trigger();
        QCOMPARE(dialog.shown, 1);
        QVERIFY(window->errors.isEmpty());
        const QByteArray pdf = read_all(dialog.output_file);
        QVERIFY(pdf.startsWith("%PDF-"));
        QCOMPARE(pdf.count("/Type /Page\n"), 1);
        // A4 landscape is 842 x 595 points.
        QVERIFY(pdf.contains("/MediaBox [0 0 842.000000 595.000000]"));
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
        QProcess process;
        process.start(pdftotext, {dialog.output_file, QStringLiteral("-")});
        QVERIFY(process.waitForFinished(10000));
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("At cusor position 01:00")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Inspired O2 percentage")));
        QVERIFY(text.contains(QStringLiteral("Arterial O2 partial pressure")));
    }

    void unwritable_output_file_is_reported()
    {
        run_once();
        dialog.output_file = QStringLiteral("/nonexistent-directory/report.pdf");
        window->print_I->trigger();
        QCOMPARE(window->errors.size(), 1);
        QVERIFY(window->errors.first().contains(QStringLiteral("/nonexistent-directory/report.pdf")));
    }

    // A full disk (a file-size limit) or /dev/full: reported, an existing
    // PDF left as it was, no temporary file left beside it.
    void failed_pdf_write_keeps_the_old_file()
    {
        run_once();
        QFile old(dialog.output_file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old report");
        old.close();
        {
            const file_size_limit limit(1000);
            QVERIFY(limit.active());
            window->print_I->trigger();
        }
        QCOMPARE(window->errors.size(), 1);
        QVERIFY(window->errors.first().contains(dialog.output_file));
        QCOMPARE(read_all(dialog.output_file), QByteArray("old report"));
        QCOMPARE(QDir(QFileInfo(dialog.output_file).path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QFileInfo(dialog.output_file).fileName()});

        dialog.output_file = QStringLiteral("/dev/full");
        window->print_I->trigger();
        QCOMPARE(window->errors.size(), 2);
        QVERIFY(window->errors.last().contains(QStringLiteral("/dev/full")));
    }

    void platform_dialog_cancelled_prints_nothing()
    {
        QVERIFY(print_through_platform_dialog(&QDialog::reject));
        QVERIFY(!QFile::exists(dialog.output_file));
        QVERIFY(window->errors.isEmpty());
    }

    // "Print to File (PDF)" chosen in the platform's dialog, then Print.
    void platform_dialog_accepted_prints_to_the_pdf_file()
    {
        QVERIFY(print_through_platform_dialog(&QDialog::accept));
        QVERIFY(window->errors.isEmpty());
        const QByteArray pdf = read_all(dialog.output_file);
        QVERIFY(pdf.startsWith("%PDF-"));
        QCOMPARE(pdf.count("/Type /Page\n"), 1);
        QVERIFY(pdf.contains("/MediaBox [0 0 842.000000 595.000000]"));
    }
};

QTEST_MAIN(report_print_test)
#include "report_print_test.moc"
