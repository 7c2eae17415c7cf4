// Writing a file so that it ends up either complete or untouched: the text
// goes to a temporary file beside the target, every write is checked, and
// only a complete, synced file is renamed over the target. Used for subject
// files, CSV output and PDF reports. Paths are the file system's bytes.
#ifndef TOLVANE_FILE_WRITER_H
#define TOLVANE_FILE_WRITER_H

#include "result.h"

#include <cstddef>
#include <string>
#include <string_view>

// How saving a file ended.
enum class save_status {
    ok,
    cannot_open,     // the file (or the temporary beside it) could not be created
    write_failed,    // writing, syncing or renaming failed; the target is untouched
    unknown_format,  // the name asks for no format that can be written
    cannot_draw,     // the document could not be drawn before writing
};

// A save's outcome; the message is the text to show, or what failed
// ("No space left on device") where the caller adds its own words.
using save_result = result<save_status>;

class safe_file_writer {
public:
    // Creates the temporary file beside path (a symbolic link is followed to
    // the file it names). An existing target that is not a regular file (a
    // device such as /dev/null or /dev/full, a pipe) is written directly,
    // with every write checked. Check opened().
    explicit safe_file_writer(const std::string& path);
    // Removes the temporary file unless commit() succeeded.
    ~safe_file_writer();
    safe_file_writer(const safe_file_writer&) = delete;
    safe_file_writer& operator=(const safe_file_writer&) = delete;

    bool opened() const { return fd_ >= 0; }
    // True while everything so far was written.
    bool ok() const { return opened() && error_.empty(); }
    // Appends bytes; a failure is kept for error() and later writes do nothing.
    bool write(const char* bytes, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Empties what was written so far (a file starting again); a device or
    // pipe written directly cannot be emptied and keeps what it got.
    bool restart();
    // Syncs, checks the size on disk, closes and renames over the target.
    // Returns false (the target untouched, no temporary left) on any failure.
    bool commit();
    // The target as an absolute path, for messages.
    const std::string& target() const { return target_; }
    // What failed, e.g. "No space left on device"; empty while all is well.
    const std::string& error() const { return error_; }

private:
    void fail(int error_number);
    void discard();

    std::string target_;
    std::string final_name_;
    std::string temporary_name_;  // empty when writing directly to a device
    int fd_ = -1;
    long long written_ = 0;
    bool committed_ = false;
    std::string error_;
};

// Writes bytes to path through safe_file_writer; on failure the message
// says what failed ("No space left on device").
save_result write_file_safely(const std::string& path, std::string_view bytes);

#endif
