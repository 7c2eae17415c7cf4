#include "subject_io.h"

#include "c_number.h"
#include "number_text.h"
#include "pressure_mode.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* column_ruler =
    "//   0       1       2       3       4       5       6       7       8       9\n";

// Reading stops after this many bytes: a subject file needs about 2 kB, so a
// larger file can only hold comments or rubbish after its numbers.
constexpr long long subject_read_cap = 16 * 1024 * 1024;

// Appends one piece of a line, first breaking the line when the piece would
// take it beyond the reader's line limit: the reader takes the numbers one
// after another, whatever the lines, so only the line lengths change.
void append_piece(std::string& text, const std::string& piece)
{
    const std::size_t newline = text.rfind('\n');
    const std::size_t line_start = newline == std::string::npos ? 0 : newline + 1;
    const std::size_t line_length = text.size() - line_start;
    if (line_length > 0 && line_length + piece.size() > static_cast<std::size_t>(subject_line_limit))
        text += '\n';
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

void append_values(std::string& text, const float* values, int count)
{
    for (int i = 0; i < count; ++i) {
        append_piece(text, format_fixed(savable(values[i]), 2, 7) + ' ');
        if ((i + 1) % 10 == 0) text += '\n';
    }
}

void append_indices(std::string& text, const std::array<int, panel_rows>& indices)
{
    for (const int index : indices) append_piece(text, " " + std::to_string(index));
}

// The header line, continued on comment lines when a long path would make
// it longer than the reader's line limit.
void append_header(std::string& text, const std::string& header)
{
    text += header.substr(0, subject_line_limit);
    for (std::size_t at = subject_line_limit; at < header.size(); at += subject_line_limit - 3)
        text += "\n// " + header.substr(at, subject_line_limit - 3);
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
bool first_line_accepted(const std::string& first_seven)
{
    return first_seven.size() >= 7 && first_seven[6] == '1';
}

}  // namespace

std::string subject_text(std::string_view path, std::string_view date_time, const panel_selection& selection,
                         bool si_pressure)
{
    std::string header_path(path);
    std::string header_date(date_time);
    for (std::string* part : {&header_path, &header_date})
        std::replace_if(
            part->begin(), part->end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    std::string text;
    text.reserve(4096);
    append_header(text, "// #001 " + header_path + "   " + header_date);
    text += "\n\n// height weight age  sex\n";
    append_piece(text, format_fixed(savable(height.value), 1, 9, true));
    append_piece(text, " " + format_fixed(savable(weight.value), 1, 5));
    append_piece(text, " " + format_fixed(savable(age.value), 1, 5));
    append_piece(text, "  " + std::to_string(static_cast<int>(sex)));
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

save_result write_subject_file(const std::string& path, std::string_view text)
{
    // Save through a symbolic link into the file it names (the writer
    // follows it). A read-only or non-regular target stays as it is: the
    // rename would otherwise replace what could not be opened for writing.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 &&
        (!S_ISREG(existing.st_mode) || ::access(path.c_str(), W_OK) != 0))
        return save_result::failure(save_status::cannot_open);
    safe_file_writer file(path);
    if (!file.opened()) return save_result::failure(save_status::cannot_open, file.error());
    file.write(text);
    if (file.commit()) return {};
    return save_result::failure(save_status::write_failed, file.error());
}

namespace {

// Lines of a subject file, from a file or from memory: read_line takes at
// most capacity - 1 bytes, up to and including a line feed, as
// QIODevice::readLine does, and returns the count (0 at the end).
class line_source {
public:
    virtual ~line_source() = default;
    virtual long long read_line(char* out, long long capacity) = 0;
    virtual bool at_end() = 0;
};

class file_lines : public line_source {
public:
    explicit file_lines(std::FILE* file) : file_(file) {}
    long long read_line(char* out, long long capacity) override
    {
        long long n = 0;
        while (n < capacity - 1) {
            const int c = std::getc(file_);
            if (c == EOF) break;
            out[n++] = static_cast<char>(c);
            if (c == '\n') break;
        }
        return n;
    }
    bool at_end() override
    {
        const int c = std::getc(file_);
        if (c == EOF) return true;
        std::ungetc(c, file_);
        return false;
    }

private:
    std::FILE* file_;
};

class memory_lines : public line_source {
public:
    explicit memory_lines(std::string_view text) : text_(text) {}
    long long read_line(char* out, long long capacity) override
    {
        long long n = 0;
        while (n < capacity - 1 && at_ < text_.size()) {
            const char c = text_[at_++];
            out[n++] = c;
            if (c == '\n') break;
        }
        return n;
    }
    bool at_end() override { return at_ >= text_.size(); }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// Reads the numbers after the first line from a device positioned there.
subject_read_result read_numbers(line_source& device)
{
    number_collector collector(numbers_wanted());
    char line[subject_line_limit + 3];
    long long consumed = 0;
    while (!collector.full() && consumed < subject_read_cap) {
        const long long got = device.read_line(line, sizeof line);
        if (got <= 0) break;
        consumed += got;
        std::size_t size = static_cast<std::size_t>(got);
        const bool ended = line[size - 1] == '\n';
        if (ended) --size;
        if (size > 0 && line[size - 1] == '\r') --size;
        // A line longer than the limit ends the reading there.
        if (size > static_cast<std::size_t>(subject_line_limit) || (!ended && !device.at_end())) break;
        collector.take_line(line, size);
    }
    return interpret_numbers(collector.values());
}

// Reads the first line whole, whatever its length, keeping its first seven bytes.
// The header holds the path the file was saved under; a long path must not
// stop the file from loading back, so the 99-character limit of later lines
// does not apply here.
bool read_first_line(line_source& device)
{
    std::string first_seven;
    char chunk[4096];
    long long consumed = 0;
    for (;;) {
        const long long got = device.read_line(chunk, sizeof chunk);
        if (got <= 0) break;
        consumed += got;
        if (first_seven.size() < 7)
            first_seven.append(chunk, static_cast<std::size_t>(std::min<long long>(
                                          got, 7 - static_cast<long long>(first_seven.size()))));
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
static subject_read_result read_subject(line_source& device)
{
    if (!read_first_line(device)) {
        subject_read_result result;
        result.status = subject_read_failure(subject_read_status::invalid_format);
        return result;
    }
    return read_numbers(device);
}

subject_read_result read_subject_file(const std::string& path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    struct stat info {};
    if (file == nullptr || ::fstat(::fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) {
        subject_read_result result;
        result.status = subject_read_failure(subject_read_status::cannot_open);
        return result;
    }
    file_lines lines(file.get());
    return read_subject(lines);
}

subject_read_result read_subject_text(std::string_view text)
{
    memory_lines lines(text);
    return read_subject(lines);
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
