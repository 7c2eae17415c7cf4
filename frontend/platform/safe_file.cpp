#include "safe_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
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

}  // namespace

safe_file_writer::safe_file_writer(const QString& path)
{
    QFileInfo target(path);
    if (target.isSymLink() && target.exists()) target = QFileInfo(target.canonicalFilePath());
    target_ = target.absoluteFilePath();
    final_name_ = QFile::encodeName(target_);
    struct stat existing {};
    if (::stat(final_name_.constData(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISDIR(existing.st_mode)) {
        // A device or a pipe cannot be replaced by a rename: write into it.
        fd_ = ::open(final_name_.constData(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) error_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    temporary_name_ =
        QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()) + ".XXXXXX";
    fd_ = ::mkstemp(temporary_name_.data());
    if (fd_ < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
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
    if (error_.isEmpty()) error_ = QString::fromLocal8Bit(std::strerror(error_number));
}

void safe_file_writer::discard()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_name_.isEmpty()) ::unlink(temporary_name_.constData());
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
