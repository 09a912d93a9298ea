#include "engine/trash.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDateTime>
#include <QUrl>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "config/activity_log.h"
#include "config/errors.h"
#include "net/event_pump.h"

namespace fs = std::filesystem;

namespace sievo {

namespace {

// Enough tries to find a free name among earlier copies of the same file.
constexpr int kMaxTrashNameTries = 10000;

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

[[noreturn]] void RaiseTrashError(const std::string& path, const std::string& reason) {
    throw Exception("Unable to move " + path + " to the Trash: " + reason);
}

std::string TrashInfo(const fs::path& original) {
    const QByteArray encoded =
        QUrl::toPercentEncoding(QString::fromStdString(original.string()), "/");
    const QString when = QDateTime::currentDateTime().toString(Qt::ISODate);
    return "[Trash Info]\nPath=" + encoded.toStdString() + "\nDeletionDate=" + when.toStdString() +
           "\n";
}

// Claims a free name by creating its .trashinfo file exclusively, as the Trash rules ask.
std::string ReserveTrashName(const fs::path& trash, const fs::path& original) {
    const std::string info = TrashInfo(original);
    const std::string stem = original.stem().string(), extension = original.extension().string();
    for (int n = 1; n <= kMaxTrashNameTries; ++n) {
        const std::string name =
            n == 1 ? original.filename().string() : stem + "." + std::to_string(n) + extension;
        if (fs::exists(trash / "files" / name))
            continue;
        const fs::path infoPath = trash / "info" / (name + ".trashinfo");
        const int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            RaiseTrashError(original.string(), std::strerror(errno));
        }
        const bool written = write(fd, info.data(), info.size()) == ssize_t(info.size());
        if (close(fd) != 0 || !written) {
            fs::remove(infoPath);
            RaiseTrashError(original.string(), "cannot write " + infoPath.string());
        }
        return name;
    }
    RaiseTrashError(original.string(), "no free name");
}

void MoveFile(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::rename(from, to, error);
    if (error == std::errc::cross_device_link) {
        error.clear();
        if (fs::copy_file(from, to, error))
            fs::remove(from, error);
    }
    if (error)
        RaiseTrashError(from.string(), error.message());
}

}  // namespace

std::string TrashFolder() {
    std::string data = EnvOrEmpty("XDG_DATA_HOME");
    if (data.empty())
        data = EnvOrEmpty("HOME") + "/.local/share";
    return data + "/Trash";
}

std::string MoveToTrash(const std::string& path) {
    const fs::path original = fs::absolute(path);
    if (!fs::is_regular_file(original))
        RaiseTrashError(path, "no such file");
    const fs::path trash = TrashFolder();
    std::error_code error;
    fs::create_directories(trash / "files", error);
    fs::create_directories(trash / "info", error);
    if (error)
        RaiseTrashError(path, error.message());
    const std::string name = ReserveTrashName(trash, original);
    const fs::path target = trash / "files" / name;
    try {
        MoveFile(original, target);
    } catch (const Exception&) {
        fs::remove(trash / "info" / (name + ".trashinfo"));  // keep the Trash consistent
        throw;
    }
    return target.string();
}

int FLINTdeleteToBin(const std::string& path) {
    const fs::path given(path);
    std::vector<fs::path> files;
    const std::string last = given.filename().string();
    if (last == "*.*" || last == "*") {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(given.parent_path(), error))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    } else {
        files.push_back(given);
    }
    int failures = 0;
    for (const auto& file : files) {
        try {
            MoveToTrash(file.string());
        } catch (const Exception& error) {
            AppException(error);
            ++failures;
        }
    }
    PumpEvents();
    return failures;
}

}  // namespace sievo
