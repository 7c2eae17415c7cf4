// SPDX-License-Identifier: Apache-2.0
#include "file_writer.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Permissions of the new file: the old file's, or those the umask allows.
mode_t mode_for(const std::string& final_name)
{
    struct stat existing {};
    if (::stat(final_name.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string error_text(int error_number) { return std::strerror(error_number); }

// The temporary files being written, for the signal handler: a slot's name
// is complete before it is marked in use.
struct temporary_slot {
    volatile sig_atomic_t in_use = 0;
    char name[PATH_MAX] = {};
};
temporary_slot temporaries[8];

void note_temporary(const std::string& name)
{
    if (name.size() >= PATH_MAX) return;
    for (temporary_slot& slot : temporaries) {
        if (slot.in_use) continue;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        slot.in_use = 1;
        return;
    }
}

void forget_temporary(const std::string& name)
{
    for (temporary_slot& slot : temporaries)
        if (slot.in_use && name == slot.name) slot.in_use = 0;
}

extern "C" void remove_temporaries_and_end(int signal_number)
{
    for (temporary_slot& slot : temporaries)
        if (slot.in_use) ::unlink(slot.name);
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

// The absolute name of the file a chain of symbolic links ends at (name
// itself when it is none), whether that file exists or not. Worked on the
// bytes, so that a name that is not UTF-8 stays as it is.
std::string through_links(std::string name)
{
    if (name.empty() || name[0] != '/') {
        char cwd[PATH_MAX];
        name = (::getcwd(cwd, sizeof cwd) != nullptr ? std::string(cwd) : std::string()) + '/' + name;
    }
    for (int depth = 0; depth < 40; ++depth) {
        struct stat link {};
        if (::lstat(name.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(name.c_str(), target, sizeof target);
        if (length <= 0 || length >= static_cast<ssize_t>(sizeof target)) break;
        const std::string next(target, static_cast<std::size_t>(length));
        name = next[0] == '/' ? next : name.substr(0, name.rfind('/') + 1) + next;
    }
    return name;
}

}  // namespace

void remove_temporary_files_on_interruption()
{
    struct sigaction action {};
    action.sa_handler = remove_temporaries_and_end;
    sigemptyset(&action.sa_mask);
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal_number, &action, nullptr);
    ::signal(SIGXFSZ, SIG_IGN);
    ::signal(SIGPIPE, SIG_IGN);
}

file_writer::file_writer(const std::string& path)
{
    if (path == standard_stream_path) {
        // A copy, so that completing the file leaves standard output open.
        fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) error_ = error_text(errno);
        return;
    }
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
        // A device or a pipe cannot be replaced by a rename: write into it.
        fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) error_ = error_text(errno);
        return;
    }
    final_name_ = through_links(path);
    // A folder, and a read-only file, stay as they are: the rename would
    // otherwise replace what could not be opened for writing (also for the
    // superuser).
    if (::stat(final_name_.c_str(), &existing) == 0) {
        int refused = 0;
        if (S_ISDIR(existing.st_mode))
            refused = EISDIR;
        else if ((existing.st_mode & 0222) == 0 || ::access(final_name_.c_str(), W_OK) != 0)
            refused = EACCES;
        if (refused != 0) {
            error_ = error_text(refused);
            return;
        }
    }
    const std::size_t slash = final_name_.rfind('/');
    temporary_name_ = final_name_.substr(0, slash + 1) + '.' + final_name_.substr(slash + 1) + ".XXXXXX";
    fd_ = ::mkstemp(temporary_name_.data());
    if (fd_ < 0) {
        error_ = error_text(errno);
        temporary_name_.clear();
        return;
    }
    note_temporary(temporary_name_);
    if (::fchmod(fd_, mode_for(final_name_)) != 0) fail(errno);
}

file_writer::~file_writer()
{
    if (!committed_) discard();
}

void file_writer::fail(int error_number)
{
    if (error_.empty()) error_ = error_text(error_number);
}

void file_writer::discard()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_name_.empty()) {
        ::unlink(temporary_name_.c_str());
        forget_temporary(temporary_name_);
    }
    temporary_name_.clear();
}

bool file_writer::write(const char* bytes, std::size_t size)
{
    if (!ok()) return false;
    while (size > 0) {
        const ssize_t done = ::write(fd_, bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            // A short write of 0 bytes (a file-size limit) counts as a full disk.
            fail(done == 0 ? ENOSPC : errno);
            return false;
        }
        bytes += done;
        size -= static_cast<std::size_t>(done);
        written_ += done;
    }
    return true;
}

bool file_writer::restart()
{
    if (!ok() || temporary_name_.empty()) return ok();
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        fail(errno);
        return false;
    }
    written_ = 0;
    return true;
}

bool file_writer::commit()
{
    if (!ok()) {
        discard();
        return false;
    }
    if (temporary_name_.empty()) {
        // Written straight into a device: closing is the last check.
        const bool closed = ::close(fd_) == 0;
        if (!closed) fail(errno);
        fd_ = -1;
        committed_ = closed;
        return closed;
    }
    struct stat on_disk {};
    if (::fsync(fd_) != 0)
        fail(errno);
    else if (::fstat(fd_, &on_disk) != 0)
        fail(errno);
    else if (on_disk.st_size != static_cast<off_t>(written_))
        fail(ENOSPC);
    if (::close(fd_) != 0) fail(errno);
    fd_ = -1;
    if (error_.empty() && ::rename(temporary_name_.c_str(), final_name_.c_str()) != 0) fail(errno);
    if (!error_.empty()) {
        discard();
        return false;
    }
    forget_temporary(temporary_name_);
    temporary_name_.clear();
    committed_ = true;
    return true;
}

save_result write_file_safely(const std::string& path, std::string_view bytes)
{
    file_writer file(path);
    const save_status failed = file.opened() ? save_status::write_failed : save_status::cannot_open;
    file.write(bytes);
    if (file.commit()) return {};
    return save_result::failure(failed, file.error().empty() ? "write failed" : file.error());
}
