// SPDX-License-Identifier: Apache-2.0
#include "catalogue_view.h"
#include "simulator.h"

#include "cp1252.h"
#include "installed_data.h"
#include "entry_message.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr const char* cannot_open_text = "Sorry, cannot open subject file.";
constexpr const char* invalid_format_text = "Invalid subject file format.";

}  // namespace

simulator::simulator(ui_port& ui) : ui_(ui), controller_(ui) {}

void simulator::start()
{
    builtin_subject_ = standard_subject_data();
    builtin_subject_.selection = selection();
    state().si_pressure = false;
    controller_.restart_subject();
    // The window's first paint: it also sets the grid span that the first
    // run step scrolls by.
    redraw();
}

int simulator::panel_time() const { return state().cursor_pinned ? state().cursor_time : state().sim_time; }

panel_view simulator::panels(int t) const { return refresh_panels(state(), selection(), t); }

void simulator::redraw() { controller_.redraw_main(); }

void simulator::run_clicked() { controller_.run_to_minute(); }

void simulator::rerun_clicked() { controller_.strip_to_cursor(); }

void simulator::back_clicked() { controller_.page_back(); }

void simulator::forward_clicked() { controller_.page_forward(); }

void simulator::reset_clicked()
{
    if (controller_.busy()) return;
    controller_.events().record({run_event_kind::reset, 0, state().sim_time, "RESET", "", "reset"});
    controller_.restart_subject();
    redraw();
}

void simulator::restart_builtin_subject()
{
    if (controller_.busy()) return;
    session().set_pressure_units(false);
    static_cast<void>(session().load_subject(builtin_subject_, std::string()));
    subject_name_.clear();
    clamped_on_load_.clear();
    controller_.events().clear();
    controller_.restart_subject();
}

void simulator::mouse_down(int x, int y) { controller_.place_cursor(x, y); }

void simulator::cursor_key(cursor_direction direction, bool large)
{
    controller_.move_cursor(direction, large);
}

void simulator::info_key()
{
    if (controller_.busy()) return;
    ui_.show_information(from_cp1252(model_host::comment()));
}

void simulator::hint_timeout() { controller_.time_out_TTimer(); }

void simulator::factor_selection_changed(int row, int index)
{
    if (controller_.busy() || row < 0 || row >= panel_rows) return;
    if (!choose_factor(session().selection(), row, index)) controller_.show_hint(hint_duplicate_factor, true);
    state().cursor_pinned = true;
    if (state().sim_time != 0)
        redraw();
    else
        ui_.redraw_main();  // the panels refresh for cursor_time
}

void simulator::display_selection_changed(int row, int index)
{
    if (controller_.busy() || row < 0 || row >= panel_rows) return;
    if (valid_display_selection(index)) session().selection().display_sel[row] = index;
    state().cursor_pinned = true;
    if (state().sim_time != 0)
        redraw();
    else
        ui_.redraw_main();
}

void simulator::show_entry_hint(const catalogue_record& record, const QString& typed,
                                const entered_value& entered)
{
    // A value set to a limit names the limit; text read as 0 says so.
    const QString message =
        entry_message(from_cp1252(record.name), typed, record.minimum, record.maximum, entered);
    if (!message.isEmpty())
        controller_.show_hint_text(message, entered.adjusted);
    else if (entered.adjusted)
        controller_.show_hint(hint_value_adjusted, true);
}

std::array<QString, panel_rows> simulator::factor_exit(const std::array<QString, panel_rows>& texts)
{
    std::array<QString, panel_rows> shown;
    for (int i = 0; i < panel_rows; ++i) {
        const int index = selection().factor_sel[i];
        if (index < 0 || !valid_factor_selection(index)) {
            shown[i] = QString::fromLatin1(empty_factor_text);
            continue;
        }
        if (controller_.busy() || texts[i] == factor_value_text(index)) {
            shown[i] = factor_value_text(index);
            continue;
        }
        const entered_value entered = entered_text(session().set_factor(index, atof_value(texts[i])), "%.2f");
        shown[i] = entered.text;
        show_entry_hint(factor_records()[static_cast<std::size_t>(index)], texts[i], entered);
    }
    return shown;
}

passport_texts simulator::passport_exit(const QString& height_text, const QString& weight_text,
                                        const QString& age_text, int sex_index)
{
    if (controller_.busy()) return current_passport_texts();
    passport_texts shown;
    auto enter = [&](passport_field field, const QString& text) {
        const entered_value entered =
            entered_text(session().set_passport_value(field, atof_value(text)), "%.1f");
        show_entry_hint(passport_record(field), text, entered);
        return entered.text;
    };
    shown.height = enter(passport_field::height, height_text);
    shown.weight = enter(passport_field::weight, weight_text);
    shown.bmi = bmi_text();
    shown.age = enter(passport_field::age, age_text);
    session().set_sex(sex_index);
    shown.sex_index = current_passport_texts().sex_index;
    return shown;
}

void simulator::set_pressure_units(bool si)
{
    if (controller_.busy() || si == state().si_pressure) return;
    session().set_pressure_units(si);
    redraw();
}

subject_read_result simulator::load_subject(const QString& path)
{
    clamped_on_load_.clear();
    subject_read_result result = read_subject_file(path);
    if (!result.status.ok() || controller_.busy()) return result;
    clamped_on_load_ = session().load_subject(result.data, path.toStdString());
    subject_name_ = path;
    controller_.restart_subject();
    return result;
}

save_result simulator::save_subject(const QString& path)
{
    return write_subject_file(path,
                              QByteArray::fromStdString(session().subject_text(
                                  file_path_bytes(path), subject_date_time_now().toUtf8().toStdString())));
}

void simulator::load_clicked()
{
    if (controller_.busy()) return;
    file_dialog_request request;
    request.title = QStringLiteral("Select new subject to load");
    request.file_name = load_dialog_name_;
    request.filter = QString::fromLatin1(subject_file_filter);
    request.default_extension = QStringLiteral("sbj");
    // Until a file is chosen, a user with no subject files of their own
    // starts in the installed teaching subjects.
    if (load_dialog_name_ == QLatin1String("*.sbj") && QCoreApplication::instance() != nullptr)
        request.folder = first_load_folder(QDir::currentPath(), QCoreApplication::applicationDirPath());
    const std::optional<QString> chosen = ui_.open_file_dialog(request);
    // A cancelled dialog leaves the student's run as it was.
    if (!chosen) return;
    load_dialog_name_ = *chosen;
    // A failure has shown its error box; the menu has nothing more to do.
    static_cast<void>(load_chosen_file(*chosen));
}

load_result simulator::load_chosen_file(const QString& path)
{
    if (controller_.busy()) return subject_read_failure(subject_read_status::cannot_open);
    const subject_read_result result = load_subject(path);
    switch (result.status.code()) {
    case subject_read_status::ok:
        break;
    case subject_read_status::cannot_open:
        // A file that cannot be read keeps the run, caption and subject name.
        ui_.show_error(QString::fromLatin1(cannot_open_text));
        return result.status;
    case subject_read_status::invalid_format:
    case subject_read_status::missing_numbers:
    case subject_read_status::bad_number:
        // A file we cannot take whole changes nothing at all.
        ui_.show_error(QString::fromLatin1(invalid_format_text));
        return result.status;
    }
    ui_.set_caption(QStringLiteral("Tolvane    ") + path);
    // The load command has always redrawn twice; the second redraw finds the
    // state the first left (prepare_redraw is idempotent) and only repaints,
    // so the pair is kept for a window that counts its paints, not for the
    // state.
    redraw();
    redraw();
    if (!clamped_on_load_.empty())
        ui_.show_information(QString::fromStdString(clamped_values_message(clamped_on_load_)));
    return result.status;
}

void simulator::save_clicked()
{
    if (controller_.busy()) return;
    file_dialog_request request;
    request.title = QStringLiteral("Enter subject file name");
    request.file_name = QStringLiteral("subject.sbj");
    request.filter = QString::fromLatin1(subject_file_filter);
    std::optional<QString> chosen = ui_.save_file_dialog(request);
    if (!chosen || chosen->isEmpty()) return;
    // A name without an extension gets ".sbj", so that "&Load ..." lists it.
    if (QFileInfo(*chosen).suffix().isEmpty()) *chosen += QStringLiteral(".sbj");
    if (QFileInfo::exists(*chosen) && !ui_.ask_ok_cancel(QStringLiteral("file exists, overwrite?"))) return;
    if (!save_subject(*chosen).ok()) ui_.show_error(QString::fromLatin1(cannot_open_text));
}
