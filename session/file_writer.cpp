#include "file_writer.h"

#include <climits>
#include <cstdlib>
#include <vector>

#include <cerrno>
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

// The absolute form of path without "." and ".." parts or doubled
// separators, worked out from the text alone.
std::string absolute_path(const std::string& path)
{
    std::string full = path;
    if (full.empty() || full[0] != '/') {
        char cwd[PATH_MAX];
        full = (::getcwd(cwd, sizeof cwd) != nullptr ? std::string(cwd) : std::string()) + "/" + path;
    }
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= full.size()) {
        const std::size_t end = std::min(full.find('/', at), full.size());
        const std::string part = full.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string clean;
    for (const std::string& part : parts) clean += "/" + part;
    return clean.empty() ? "/" : clean;
}

// A symbolic link that leads to a file stands for that file.
std::string followed(const std::string& path)
{
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string target = real;
    std::free(real);
    return target;
}

std::string error_text(int error_number) { return std::strerror(error_number); }

}  // namespace

safe_file_writer::safe_file_writer(const std::string& path)
{
    target_ = absolute_path(followed(path));
    final_name_ = target_;
    struct stat existing {};
    if (::stat(final_name_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISDIR(existing.st_mode)) {
        // A device or a pipe cannot be replaced by a rename: write into it.
        fd_ = ::open(final_name_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) error_ = error_text(errno);
        return;
    }
    const std::size_t slash = target_.rfind('/');
    temporary_name_ = target_.substr(0, slash + 1) + "." + target_.substr(slash + 1) + ".XXXXXX";
    fd_ = ::mkstemp(temporary_name_.data());
    if (fd_ < 0) {
        error_ = error_text(errno);
        temporary_name_.clear();
        return;
    }
    if (::fchmod(fd_, mode_for(final_name_)) != 0) fail(errno);
}

safe_file_writer::~safe_file_writer()
{
    if (!committed_) discard();
}

void safe_file_writer::fail(int error_number)
{
    if (error_.empty()) error_ = error_text(error_number);
}

void safe_file_writer::discard()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_name_.empty()) ::unlink(temporary_name_.c_str());
    temporary_name_.clear();
}

bool safe_file_writer::write(const char* bytes, std::size_t size)
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

bool safe_file_writer::restart()
{
    if (!ok() || temporary_name_.empty()) return ok();
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        fail(errno);
        return false;
    }
    written_ = 0;
    return true;
}

bool safe_file_writer::commit()
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
    temporary_name_.clear();
    committed_ = true;
    return true;
}

save_result write_file_safely(const std::string& path, std::string_view bytes)
{
    safe_file_writer file(path);
    const save_status failed = file.opened() ? save_status::write_failed : save_status::cannot_open;
    file.write(bytes);
    if (file.commit()) return {};
    return save_result::failure(failed, file.error().empty() ? "write failed" : file.error());
}
