// SPDX-License-Identifier: Apache-2.0
#include "safe_file.h"

#include "file_names.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Permissions of the new file: the old file's, or those the umask allows.
mode_t mode_for(const QByteArray& final_name)
{
    struct stat existing {};
    if (::stat(final_name.constData(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The temporary files being written, for the signal handler: a slot's name
// is complete before it is marked in use.
struct temporary_slot {
    volatile sig_atomic_t in_use = 0;
    char name[PATH_MAX] = {};
};
temporary_slot temporaries[8];

void note_temporary(const QByteArray& name)
{
    if (name.size() >= PATH_MAX) return;
    for (temporary_slot& slot : temporaries) {
        if (slot.in_use) continue;
        std::memcpy(slot.name, name.constData(), static_cast<std::size_t>(name.size()) + 1);
        slot.in_use = 1;
        return;
    }
}

void forget_temporary(const QByteArray& name)
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
QByteArray through_links(QByteArray name)
{
    if (!name.startsWith('/')) name = file_name_bytes(QDir::currentPath()) + '/' + name;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat link {};
        if (::lstat(name.constData(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(name.constData(), target, sizeof target);
        if (length <= 0 || length >= static_cast<ssize_t>(sizeof target)) break;
        const QByteArray next(target, length);
        name = next.startsWith('/') ? next : name.left(name.lastIndexOf('/') + 1) + next;
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

QString output_path_for_messages(const QString& path)
{
    if (path == QLatin1String(standard_stream_path)) return QStringLiteral("standard output");
    return QFileInfo(path).absoluteFilePath();
}

safe_file_writer::safe_file_writer(const QString& path) : target_(output_path_for_messages(path))
{
    if (path == QLatin1String(standard_stream_path)) {
        // A copy, so that completing the file leaves standard output open.
        fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) error_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    const QByteArray given = file_name_bytes(path);
    struct stat existing {};
    if (::stat(given.constData(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISDIR(existing.st_mode)) {
        // A device or a pipe cannot be replaced by a rename: write into it.
        fd_ = ::open(given.constData(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) error_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    final_name_ = through_links(given);
    // A folder, and a read-only file, stay as they are: the rename would
    // otherwise replace what could not be opened for writing (also for the
    // superuser).
    if (::stat(final_name_.constData(), &existing) == 0) {
        int refused = 0;
        if (S_ISDIR(existing.st_mode))
            refused = EISDIR;
        else if ((existing.st_mode & 0222) == 0 || ::access(final_name_.constData(), W_OK) != 0)
            refused = EACCES;
        if (refused != 0) {
            error_ = QString::fromLocal8Bit(std::strerror(refused));
            return;
        }
    }
    const qsizetype slash = final_name_.lastIndexOf('/');
    temporary_name_ = final_name_.left(slash + 1) + '.' + final_name_.mid(slash + 1) + ".XXXXXX";
    fd_ = ::mkstemp(temporary_name_.data());
    if (fd_ < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        temporary_name_.clear();
        return;
    }
    note_temporary(temporary_name_);
    if (::fchmod(fd_, mode_for(final_name_)) != 0) fail(errno);
}

safe_file_writer::~safe_file_writer()
{
    if (!committed_) discard();
}

void safe_file_writer::fail(int error_number)
{
    if (error_.isEmpty()) error_ = QString::fromLocal8Bit(std::strerror(error_number));
}

void safe_file_writer::discard()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_name_.isEmpty()) {
        ::unlink(temporary_name_.constData());
        forget_temporary(temporary_name_);
    }
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
    if (!ok() || temporary_name_.isEmpty()) return ok();
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
    if (temporary_name_.isEmpty()) {
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
    if (error_.isEmpty() && ::rename(temporary_name_.constData(), final_name_.constData()) != 0) fail(errno);
    if (!error_.isEmpty()) {
        discard();
        return false;
    }
    forget_temporary(temporary_name_);
    temporary_name_.clear();
    committed_ = true;
    return true;
}

save_result write_file_safely(const QString& path, const QByteArray& bytes)
{
    safe_file_writer file(path);
    const save_status failed = file.opened() ? save_status::write_failed : save_status::cannot_open;
    file.write(bytes);
    if (file.commit()) return {};
    const QString reason = file.error().isEmpty() ? QStringLiteral("write failed") : file.error();
    return save_result::failure(failed, reason.toStdString());
}
