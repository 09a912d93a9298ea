#include "config/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "config/file_cache.h"

namespace sievo {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes.toStdString();
}

// Written with the system calls themselves: every short write and every error must be
// seen, or a full disk would leave a cut file in place of the old one.
bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return false;
    struct stat old {};
    // A new file is its owner's alone: the data folder holds passwords and mail.
    const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0600;
    const bool written = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (written && closed && rename(temporary.c_str(), path.c_str()) == 0) {
        NoteFileWritten();
        return true;
    }
    unlink(temporary.c_str());
    return false;
}

bool EnsureFolder(const std::string& path) {
    return QDir().mkpath(QString::fromStdString(path));
}

}  // namespace sievo
