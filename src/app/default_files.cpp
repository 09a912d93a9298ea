#include "app/default_files.h"

#include <filesystem>

#include "config/data_folder.h"
#include "config/errors.h"

namespace fs = std::filesystem;

namespace sievo {

std::string DefaultFilesFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path installed = exe.parent_path().parent_path() / "share" / "sievomatic";
        if (fs::is_directory(installed))
            return installed.string() + "/";
    }
    return SIEVOMATIC_SOURCE_DATA_DIR "/";
}

std::vector<std::string> InstallDefaultFiles() {
    const fs::path source = DefaultFilesFolder();
    const fs::path target = ProgramFolder();
    std::vector<std::string> copied;
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        const fs::path relative = fs::relative(entry.path(), source);
        const fs::path destination = target / relative;
        if (fs::exists(destination))
            continue;
        std::error_code error;
        if (entry.is_directory())
            fs::create_directories(destination, error);
        else
            fs::copy_file(entry.path(), destination, error);
        if (error)
            throw Exception("Cannot create file " + destination.string() + ": " + error.message());
        copied.push_back(relative.string());
    }
    return copied;
}

}  // namespace sievo
