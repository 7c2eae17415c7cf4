// SPDX-License-Identifier: Apache-2.0
// The main window as the front-end logic's ui_port: enabled states, beep,
// message boxes, memos, hint timer, redraw, passport fields, file dialogs and
// caption.
#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "trend_plot.h"
#include "window_font.h"

void Tmain_F::set_control_enabled(ui_control control, bool enabled)
{
    switch (control) {
    case ui_control::run:
        run_B->setEnabled(enabled);
        break;
    case ui_control::rerun:
        rerun_B->setEnabled(enabled);
        break;
    case ui_control::back:
        back_B->setEnabled(enabled);
        break;
    case ui_control::forward:
        forward_B->setEnabled(enabled);
        break;
    case ui_control::reset:
        reset_B->setEnabled(enabled);
        break;
    case ui_control::print:
        print_I->setEnabled(enabled);
        break;
    }
}

void Tmain_F::beep() { QApplication::beep(); }

void Tmain_F::show_warning(const QString& text)
{
    QMessageBox::warning(this, QApplication::applicationName(), text, QMessageBox::Ok);
}

void Tmain_F::show_error(const QString& text)
{
    QMessageBox::critical(this, QApplication::applicationName(), text, QMessageBox::Ok);
}

void Tmain_F::show_information(const QString& text)
{
    QMessageBox::information(this, QApplication::applicationName(), text, QMessageBox::Ok);
}

void Tmain_F::show_message(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, this);
    box.exec();
}

bool Tmain_F::ask_ok_cancel(const QString& text)
{
    return QMessageBox::warning(this, QApplication::applicationName(), text,
                                QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void Tmain_F::append_clinical_text(const QString& text)
{
    // The memo shows the lines without the break after the last one, so that
    // its last visible line is the newest message (at the laid-out height it
    // shows one line); the break goes in before the next text.
    // clinical_text() keeps every line ended by "\r\n".
    const bool break_pending = clinical_text_.endsWith(QStringLiteral("\r\n"));
    clinical_text_ += text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
    if (break_pending) shown.prepend(QLatin1Char('\n'));
    QTextCursor end(clinical_M->document());
    end.movePosition(QTextCursor::End);
    end.insertText(shown);
    clinical_M->verticalScrollBar()->setValue(clinical_M->verticalScrollBar()->maximum());
}

void Tmain_F::clear_clinical_text()
{
    clinical_text_.clear();
    clinical_M->clear();
}

QString Tmain_F::clinical_text() const { return clinical_text_; }

void Tmain_F::set_hint_text(const QString& text)
{
    // The longest hint is a little wider than the memo in this face.
    const int room = hint_M->viewport()->width() - 2 * int(hint_M->document()->documentMargin()) - 4;
    const QFont fitted = font_fitting(hint_M->font(), text, room);
    if (hint_M->font().stretch() != fitted.stretch()) hint_M->setFont(fitted);
    hint_M->setPlainText(text);
}

void Tmain_F::start_hint_timer(int milliseconds)
{
    time_out_T->setInterval(milliseconds);
    time_out_T->start();
}

void Tmain_F::stop_hint_timer() { time_out_T->stop(); }

void Tmain_F::redraw_main()
{
    show_panels(sim_.panel_time());
    show_plot_controls();
    surface->update();
    emit redrawn();
}

void Tmain_F::set_passport_fields(const passport_texts& texts)
{
    sex_CB->setCurrentIndex(texts.sex_index);
    height_E->setText(texts.height);
    weight_E->setText(texts.weight);
    bmi_E->setText(texts.bmi);
    age_E->setText(texts.age);
}

namespace {

std::optional<QString> run_file_dialog(QWidget* parent, const file_dialog_request& request,
                                       QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // A save adds no extension of its own; an open completes a typed name.
    if (mode == QFileDialog::AcceptOpen) dialog.setDefaultSuffix(request.default_extension);
    if (!request.file_name.isEmpty() && !request.file_name.contains(QLatin1Char('*')))
        dialog.selectFile(request.file_name);
    // The caller asks about overwriting, in its own words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace

std::optional<QString> Tmain_F::open_file_dialog(const file_dialog_request& request)
{
    return run_file_dialog(this, request, QFileDialog::AcceptOpen);
}

std::optional<QString> Tmain_F::save_file_dialog(const file_dialog_request& request)
{
    return run_file_dialog(this, request, QFileDialog::AcceptSave);
}

void Tmain_F::set_caption(const QString& caption) { setWindowTitle(caption); }
