#include "config/data_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "config/account.h"
#include "config/errors.h"
#include "config/file_io.h"

namespace sievo {

namespace {

std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string UserDataFolder() {
    std::string base = EnvOrEmpty("XDG_DATA_HOME");
    if (base.empty())
        base = EnvOrEmpty("HOME") + "/.local/share";
    return WithTrailingSlash(base) + "sievomatic";
}

// The executable's folder when it holds settings.ini: a portable copy the user made on
// purpose. A build folder or an installed program's folder never qualifies by accident.
std::string PortableFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !std::filesystem::exists(exe.parent_path() / "settings.ini", error))
        return "";
    return exe.parent_path().string();
}

std::string ChooseFolder() {
    if (std::string home = EnvOrEmpty("SIEVOMATIC_HOME"); !home.empty())
        return home;
    // Decided at the first file access: the program's files do not move while it runs.
    static const std::string portable = PortableFolder();
    return portable.empty() ? UserDataFolder() : portable;
}

// The folder's parents are made as usual; the folder itself only its owner may enter.
bool EnsureOwnFolder(const std::string& folder) {
    if (std::filesystem::is_directory(folder))
        return true;
    const std::string parent = std::filesystem::path(folder).parent_path().parent_path();
    return EnsureFolder(parent) && (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST);
}

// Clears the group's and others' bits; false when they were set and could not be cleared.
bool Tighten(const std::string& path, bool& changed) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || (status.st_mode & 077) == 0)
        return true;
    changed = true;
    return chmod(path.c_str(), status.st_mode & 07700) == 0;
}

}  // namespace

std::string TightenProgramFolder() {
    const std::string folder = ProgramFolder();
    bool changed = false;
    const bool done = Tighten(folder, changed) && Tighten(AccountsPath(), changed);
    if (!done)
        return "Other users may read " + folder + ": its access could not be restricted";
    if (changed)
        return "Other users could read " + folder + " or its accounts.ini: now only its owner can";
    return "";
}

std::string ProgramFolder() {
    // Asked for at every file access: the folder is made once, not looked at every time.
    static std::string ensured;
    std::string folder = WithTrailingSlash(ChooseFolder());
    if (folder == ensured)
        return folder;
    if (!EnsureOwnFolder(folder))
        throw Exception("Unable to create folder " + folder);
    ensured = folder;
    return folder;
}

std::string ProgramFile(const std::string& name) {
    return ProgramFolder() + name;
}

std::string EnsureTempFolder() {
    std::string temp = ProgramFile("temp/");
    if (!EnsureFolder(temp))
        throw Exception("Unable to create folder " + temp);
    return temp;
}

}  // namespace sievo
