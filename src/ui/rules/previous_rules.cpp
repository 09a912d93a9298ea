#include "ui/rules/previous_rules.h"

#include <QDir>
#include <QObject>
#include <filesystem>

#include "config/errors.h"
#include "ui/common/message_boxes.h"

namespace sievo {

namespace fs = std::filesystem;

namespace {

bool RenameFile(const std::string& oldPath, const std::string& newPath) {
    std::error_code error;
    fs::rename(oldPath, newPath, error);
    return !error;
}

bool CopyFile(const std::string& oldPath, const std::string& newPath) {
    std::error_code error;
    fs::copy_file(oldPath, newPath, fs::copy_options::overwrite_existing, error);
    return !error;
}

bool ReadOnly(const std::string& path) {
    const auto permissions = fs::status(path).permissions();
    return (permissions & fs::perms::owner_write) == fs::perms::none;
}

}  // namespace

std::string PreviousRulesPath() {
    return QDir::homePath().toStdString() + "/sievo.ini";
}

void PROCMovePreviousRules(const std::string& operation, const std::string& oldPath,
                           const std::string& newPath) {
    if (!AskUserYesNo(nullptr, QObject::tr("Previous version of Sievomatic detected, would you "
                                           "like to move your existing rules into the new "
                                           "version?")))
        return;
    const std::string target = fs::absolute(newPath).string();
    const std::string cannotMove = "Cannot move file " + oldPath;
    if (operation == "Move") {
        if (RenameFile(oldPath, target))
            return;
        // A copy that failed must not pass for a move that worked.
        if (ReadOnly(oldPath) || !CopyFile(oldPath, target))
            throw Exception(cannotMove);
    } else if (operation == "Copy") {
        if (!CopyFile(oldPath, target))
            throw Exception(cannotMove);
    } else if (operation == "Rename") {
        RenameFile(oldPath, target);
    }
}

}  // namespace sievo
