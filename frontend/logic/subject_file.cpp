// SPDX-License-Identifier: Apache-2.0
#include "subject_file.h"

#include "c_number.h"
#include "file_names.h"
#include "safe_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QBuffer>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

namespace {

constexpr const char* column_ruler =
    "//   0       1       2       3       4       5       6       7       8       9\n";

// Reading stops after this many bytes: a subject file needs about 2 kB, so a
// larger file can only hold comments or rubbish after its numbers.
constexpr qint64 subject_read_cap = 16 * 1024 * 1024;

// Appends one piece of a line, first breaking the line when the piece would
// take it beyond the reader's line limit: the reader takes the numbers one
// after another, whatever the lines, so only the line lengths change.
void append_piece(QByteArray& text, const QByteArray& piece)
{
    const qsizetype line_start = text.lastIndexOf('\n') + 1;
    const qsizetype line_length = text.size() - line_start;
    if (line_length > 0 && line_length + piece.size() > subject_line_limit) text += '\n';
    text += piece;
}

// A value the reader can take back: a state broken by a failed step may
// hold infinities (saved as the largest float of their sign) or values that
// are not numbers (saved as 0).
double savable(float value)
{
    if (std::isnan(value)) return 0.0;
    if (std::isinf(value)) return value > 0 ? FLT_MAX : -FLT_MAX;
    return value;
}

// QString::asprintf formats numbers with a point whatever the C locale says.
QByteArray formatted(const char* format, double value) { return QString::asprintf(format, value).toLatin1(); }

void append_values(QByteArray& text, const float* values, int count)
{
    for (int i = 0; i < count; ++i) {
        append_piece(text, formatted("%7.2f ", savable(values[i])));
        if ((i + 1) % 10 == 0) text += '\n';
    }
}

void append_indices(QByteArray& text, const std::array<int, panel_rows>& indices)
{
    for (const int index : indices) append_piece(text, QString::asprintf(" %d", index).toLatin1());
}

// The header line, continued on comment lines when a long path would make
// it longer than the reader's line limit.
void append_header(QByteArray& text, const QByteArray& header)
{
    text += header.left(subject_line_limit);
    for (qsizetype at = subject_line_limit; at < header.size(); at += subject_line_limit - 3)
        text += "\n// " + header.mid(at, subject_line_limit - 3);
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Collects the numbers of the text after the first line, line by line.
class number_collector {
public:
    explicit number_collector(std::size_t wanted) : wanted_(wanted) { values_.reserve(wanted); }

    bool full() const { return values_.size() >= wanted_; }
    const std::vector<double>& values() const { return values_; }

    // Takes one line (line feed removed): comments are skipped, every other
    // word yields a number (0 when it does not begin with one).
    void take_line(const char* line, std::size_t size)
    {
        if (size >= 2 && line[0] == '/' && line[1] == '/') return;
        std::size_t p = 0;
        while (!full()) {
            while (p < size && is_blank(line[p])) ++p;
            if (p >= size) return;
            const c_number number = scan_c_number(line + p, size - p);
            values_.push_back(number.length > 0 ? number.value : 0.0);
            while (p < size && !is_blank(line[p])) ++p;
        }
    }

private:
    std::size_t wanted_;
    std::vector<double> values_;
};

std::size_t numbers_wanted()
{
    return 4 + static_cast<std::size_t>(num_fct) + static_cast<std::size_t>(num_dsy - 1) +
           static_cast<std::size_t>(num_oth) + 2 * panel_rows;
}

// A row index or sex: truncated toward zero; out-of-int values give fallback.
int truncated_index(double value, int fallback)
{
    const double t = std::trunc(value);
    if (!(t >= -1.0e6 && t <= 1.0e6)) return fallback;
    return static_cast<int>(t);
}

// Turns the collected numbers into subject data, checking what must be checked.
subject_read_result interpret_numbers(const std::vector<double>& numbers)
{
    subject_read_result result;
    result.numbers_read = static_cast<int>(numbers.size());
    if (numbers.size() < numbers_wanted()) {
        result.status = subject_read_failure(subject_read_status::missing_numbers);
        return result;
    }
    for (const double value : numbers) {
        if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
            result.status = subject_read_failure(subject_read_status::bad_number);
            return result;
        }
    }
    std::size_t next = 0;
    auto take_float = [&]() { return static_cast<float>(numbers[next++]); };
    subject_data& data = result.data;
    data.height = take_float();
    data.weight = take_float();
    data.age = take_float();
    // Sex is a list index: 0 female, 1 male. Anything else is taken by its
    // sign (positive male, else female) and counted as a correction.
    const double sex_number = numbers[next++];
    data.sex = truncated_index(sex_number, sex_number > 0 ? 2 : -1);
    if (data.sex != 0 && data.sex != 1) {
        data.sex = data.sex > 0 ? 1 : 0;
        ++result.corrected_indices;
    }
    for (int i = 0; i < num_fct; ++i) data.factors[i] = take_float();
    for (int i = 0; i < num_dsy - 1; ++i) data.displays[i] = take_float();
    for (int i = 0; i < num_oth; ++i) data.others[i] = take_float();
    data.selection.factor_sel.fill(-1);
    for (int row = 0; row < panel_rows; ++row) {
        const int index = truncated_index(numbers[next++], -2);
        if (!valid_factor_selection(index)) {
            ++result.corrected_indices;
        } else if (!choose_factor(data.selection, row, index)) {
            ++result.corrected_indices;  // a repeated factor: its later row stays empty
        }
    }
    for (int row = 0; row < panel_rows; ++row) {
        const int index = truncated_index(numbers[next++], -1);
        if (valid_display_selection(index)) {
            data.selection.display_sel[row] = index;
        } else {
            data.selection.display_sel[row] = num_dsy - 1;
            ++result.corrected_indices;
        }
    }
    return result;
}

// True when the first line's seventh character is "1".
bool first_line_accepted(const QByteArray& first_seven)
{
    return first_seven.size() >= 7 && first_seven[6] == '1';
}

}  // namespace

QByteArray subject_text(const QString& path, const QString& date_time, const panel_selection& selection,
                        bool si_pressure)
{
    QByteArray header_path = QFile::encodeName(path);
    QByteArray header_date = date_time.toUtf8();
    for (QByteArray* part : {&header_path, &header_date}) {
        part->replace('\n', ' ');
        part->replace('\r', ' ');
    }
    QByteArray text;
    text.reserve(4096);
    append_header(text, "// #001 " + header_path + "   " + header_date);
    text += "\n\n// height weight age  sex\n";
    append_piece(text, formatted("% 9.1f", savable(height.value)));
    append_piece(text, formatted(" %5.1f", savable(weight.value)));
    append_piece(text, formatted(" %5.1f", savable(age.value)));
    append_piece(text, QString::asprintf("  %d", static_cast<int>(sex)).toLatin1());
    text += '\n';
    text += "\n// subject factors\n";
    text += column_ruler;
    std::array<float, TOLVANE_NUM_FACTORS> factors{};
    for (int i = 0; i < num_fct && i < TOLVANE_NUM_FACTORS; ++i)
        factors[i] = factor_value_in_model_units(i, si_pressure);
    append_values(text, factors.data(), std::min<int>(num_fct, TOLVANE_NUM_FACTORS));
    text += "\n\n// display variables\n";
    text += column_ruler;
    std::array<float, TOLVANE_NUM_DISPLAYS> displays{};
    for (int i = 0; i < num_dsy - 1 && i < TOLVANE_NUM_DISPLAYS; ++i) displays[i] = display[i].value;
    append_values(text, displays.data(), std::min<int>(num_dsy - 1, TOLVANE_NUM_DISPLAYS));
    text += "\n\n// other variables\n";
    text += column_ruler;
    append_values(text, other, std::min<int>(num_oth, TOLVANE_NUM_OTHERS));
    text += "\n\n// selected subject factors\n";
    append_indices(text, selection.factor_sel);
    text += "\n\n// selected display variables\n";
    append_indices(text, selection.display_sel);
    text += "\n\n// flags and other stuff yet to be done";
    return text;
}

QString subject_date_time_now()
{
    return QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
}

save_result write_subject_file(const QString& path, const QByteArray& text)
{
    // Qt's QSaveFile reports success after a short write (a full disk or a
    // file-size limit), so the temporary file is written and checked by us;
    // the writer also refuses a read-only file and saves through a link.
    safe_file_writer file(path);
    if (!file.opened()) return save_result::failure(save_status::cannot_open, file.error().toStdString());
    file.write(text);
    if (file.commit()) return {};
    return save_result::failure(save_status::write_failed, file.error().toStdString());
}

namespace {

// Reads the numbers after the first line from a device positioned there.
subject_read_result read_numbers(QIODevice& device)
{
    number_collector collector(numbers_wanted());
    char line[subject_line_limit + 3];
    qint64 consumed = 0;
    while (!collector.full() && consumed < subject_read_cap) {
        const qint64 got = device.readLine(line, sizeof line);
        if (got <= 0) break;
        consumed += got;
        std::size_t size = static_cast<std::size_t>(got);
        const bool ended = line[size - 1] == '\n';
        if (ended) --size;
        if (size > 0 && line[size - 1] == '\r') --size;
        // A line longer than the limit ends the reading there.
        if (size > static_cast<std::size_t>(subject_line_limit) || (!ended && !device.atEnd())) break;
        collector.take_line(line, size);
    }
    return interpret_numbers(collector.values());
}

// Reads the first line whole, whatever its length, keeping its first seven bytes.
// The header holds the path the file was saved under; a long path must not
// stop the file from loading back, so the 99-character limit of later lines
// does not apply here.
bool read_first_line(QIODevice& device)
{
    QByteArray first_seven;
    char chunk[4096];
    qint64 consumed = 0;
    for (;;) {
        const qint64 got = device.readLine(chunk, sizeof chunk);
        if (got <= 0) break;
        consumed += got;
        if (first_seven.size() < 7) first_seven.append(chunk, std::min<qint64>(got, 7 - first_seven.size()));
        if (chunk[got - 1] == '\n' || consumed > subject_read_cap) break;
    }
    return first_line_accepted(first_seven);
}

}  // namespace

load_result subject_read_failure(subject_read_status code)
{
    switch (code) {
    case subject_read_status::ok:
        return {};
    case subject_read_status::cannot_open:
        return load_result::failure(code, "cannot open subject file");
    case subject_read_status::invalid_format:
        return load_result::failure(code, "invalid subject file format (first line)");
    case subject_read_status::missing_numbers:
        return load_result::failure(code, "invalid subject file format (too few numbers)");
    case subject_read_status::bad_number:
        return load_result::failure(code, "invalid subject file format (number out of range)");
    }
    return load_result::failure(code);
}

// The whole file from an open device: the first line's check, then the numbers.
static subject_read_result read_subject(QIODevice& device)
{
    if (!read_first_line(device)) {
        subject_read_result result;
        result.status = subject_read_failure(subject_read_status::invalid_format);
        return result;
    }
    return read_numbers(device);
}

subject_read_result read_subject_file(const QString& path)
{
    QFile file;
    if (!open_for_reading(file, path)) {
        subject_read_result result;
        result.status = subject_read_failure(subject_read_status::cannot_open);
        return result;
    }
    return read_subject(file);
}

subject_read_result read_subject_text(const QByteArray& text)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return read_subject(buffer);
}

void store_standard_subject(const subject_data& data)
{
    s_height = data.height;
    s_weight = data.weight;
    s_age = data.age;
    s_sex = data.sex;
    for (int i = 0; i < num_fct && i < TOLVANE_NUM_FACTORS; ++i) s_factor[i] = data.factors[i];
    for (int i = 0; i < num_dsy - 1 && i < TOLVANE_NUM_DISPLAYS - 1; ++i)
        s_display[i].standard = data.displays[i];
    for (int i = 0; i < num_oth && i < TOLVANE_NUM_OTHERS; ++i) s_other[i] = data.others[i];
}

subject_data standard_subject_data()
{
    subject_data data;
    data.height = s_height;
    data.weight = s_weight;
    data.age = s_age;
    data.sex = s_sex;
    for (int i = 0; i < num_fct && i < TOLVANE_NUM_FACTORS; ++i) data.factors[i] = s_factor[i];
    for (int i = 0; i < num_dsy - 1 && i < TOLVANE_NUM_DISPLAYS - 1; ++i)
        data.displays[i] = s_display[i].standard;
    for (int i = 0; i < num_oth && i < TOLVANE_NUM_OTHERS; ++i) data.others[i] = s_other[i];
    return data;
}
