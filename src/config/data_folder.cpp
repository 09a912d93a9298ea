#include "config/data_folder.h"

#include <cstdlib>
#include <filesystem>

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

}  // namespace

std::string ProgramFolder() {
    // Asked for at every file access: the folder is made once, not looked at every time.
    static std::string ensured;
    std::string folder = WithTrailingSlash(ChooseFolder());
    if (folder == ensured)
        return folder;
    if (!EnsureFolder(folder))
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
