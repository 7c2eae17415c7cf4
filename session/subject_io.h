// The subject file (.sbj): a short text holding the passport, every factor,
// display and other value and the panels' row selections. Writing builds the
// text from the model's live state; reading treats the file as untrusted
// input and hands back plain values for the caller to apply.
#ifndef TOLVANE_SUBJECT_IO_H
#define TOLVANE_SUBJECT_IO_H

#include "file_writer.h"
#include "panel_rows.h"
#include "result.h"
#include "tolvane_model.h"

#include <array>
#include <string>
#include <string_view>

// The numbers of one subject as a file holds them (model units throughout).
struct subject_data {
    float height = 0.0f;
    float weight = 0.0f;
    float age = 0.0f;
    int sex = 0;
    std::array<float, TOLVANE_NUM_FACTORS> factors{};
    std::array<float, TOLVANE_NUM_DISPLAYS - 1> displays{};  // "No display" is not stored
    std::array<float, TOLVANE_NUM_OTHERS> others{};
    panel_selection selection;
};

// Longest line, line feed not counted, that the reader accepts after the first.
inline constexpr int subject_line_limit = 99;

// The text of a subject file for the model's live state and the panel rows.
// Factors are written in model units (mm Hg) even when si_pressure is set.
// path (the file system's bytes) and date_time (UTF-8) go into the header
// line (line breaks in them become blanks). No line is longer than
// subject_line_limit: a long header goes on on comment lines, and a value
// that would not fit starts a further line (the reader takes the numbers
// one after another). A value that is not a number is written as 0, an
// infinite one as the largest float of its sign, so that every saved state
// loads back.
std::string subject_text(std::string_view path, std::string_view date_time, const panel_selection& selection,
                         bool si_pressure);

// Writes text to path through a temporary file beside it, checked for its
// full length and synced, then renamed over the target: an existing file is
// either replaced whole or left as it was, and no temporary file stays behind.
// A read-only existing file is not replaced (cannot_open). The message says
// what failed ("No space left on device"), where the writer knows it.
save_result write_subject_file(const std::string& path, std::string_view text);

enum class subject_read_status {
    ok,
    cannot_open,      // the file could not be opened for reading
    invalid_format,   // the first line's seventh character is not "1" (or no first line)
    missing_numbers,  // the text ended (or a line over 99 characters stopped it) too early
    bad_number,       // a value beyond the range of a 32-bit float
};

// Whether a subject file could be used; on failure the message says why in
// a few words ("invalid subject file format (first line)").
using load_result = result<subject_read_status>;

// The failure code with its few words.
load_result subject_read_failure(subject_read_status code);

struct subject_read_result {
    load_result status;
    subject_data data;          // meaningful only when status is ok
    int numbers_read = 0;       // numbers found before reading stopped
    int corrected_indices = 0;  // sex or row indices outside their ranges that were replaced
};

// Reads and checks a subject file at path (the file system's bytes). The
// first line may be of any length and only its seventh character is tested;
// "//" lines are skipped; a later line of more than 99 characters ends the
// reading; numbers glued to other characters are read and the rest skipped;
// sex and indices are truncated toward zero. Factor indices outside
// -1..num_fct-1 and repeated ones become -1, display indices outside
// 0..num_dsy-1 become num_dsy-1 ("No display"), a sex other than 0 or 1
// becomes 1 if positive, else 0; each such change is counted in
// corrected_indices. Never reads beyond the file, never holds more than one
// line of it.
subject_read_result read_subject_file(const std::string& path);

// Same as read_subject_file for text in memory.
subject_read_result read_subject_text(std::string_view text);

// Writes data into the model's standard subject (s_height .. s_other); the
// caller then restarts the subject, which makes it live through load_new.
void store_standard_subject(const subject_data& data);

#endif
