#include "app/staging_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace fk {

namespace fs = std::filesystem;

bool CStagingFolder::Create(const std::string& parent, const std::string& image,
                            std::string* error) {
    Remove();
    std::error_code ec;
    const fs::path source(image);
    if (!fs::is_regular_file(source, ec)) {
        if (error) *error = image + ": not a readable file";
        return false;
    }
    fs::create_directories(parent, ec);
    std::string pattern = (fs::path(parent) / (std::string(kStagingPrefix) + "XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        if (error)
            *error = pattern + ": " + std::error_code(errno, std::generic_category()).message();
        return false;
    }
    path_ = pattern;
    if (!fs::copy_file(source, fs::path(path_) / source.filename(), ec)) {
        if (error) *error = image + ": " + ec.message();
        Remove();
        return false;
    }
    return true;
}

void CStagingFolder::Remove() {
    if (path_.empty()) return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    path_.clear();
}

void RemoveLeftoverStagingFolders(const std::string& parent) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(parent, ec)) {
        const std::string name = entry.path().filename().string();
        // Exactly what mkdtemp makes, and a real folder: never a link to elsewhere.
        const bool ours = name.size() == sizeof(kStagingPrefix) - 1 + 6 &&
                          name.rfind(kStagingPrefix, 0) == 0 &&
                          entry.symlink_status(ec).type() == fs::file_type::directory;
        if (ours) fs::remove_all(entry.path(), ec);
    }
}

}  // namespace fk
