#include "app/default_files.h"

#include <QDirIterator>
#include <QFile>
#include <filesystem>

#include "config/data_folder.h"
#include "config/errors.h"
#include "config/file_io.h"

namespace fs = std::filesystem;

namespace sievo {

namespace {

// Where the build puts everything under data/ among the program's resources.
const QString kDefaultFilesRoot = QStringLiteral(":/defaults");

std::string ResourceBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception("Cannot read " + path.toStdString());
    return file.readAll().toStdString();
}

}  // namespace

std::vector<std::string> InstallDefaultFiles() {
    const std::string target = ProgramFolder();
    std::vector<std::string> laid;
    QDirIterator files(kDefaultFilesRoot, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const std::string relative = source.mid(kDefaultFilesRoot.size() + 1).toStdString();
        const std::string destination = target + relative;
        if (fs::exists(destination))
            continue;
        if (!EnsureFolder(fs::path(destination).parent_path().string()) ||
            !WriteFileAtomically(destination, ResourceBytes(source)))
            throw Exception("Cannot create file " + destination);
        laid.push_back(relative);
    }
    return laid;
}

}  // namespace sievo
