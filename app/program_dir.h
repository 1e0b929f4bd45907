// Where the program finds its data, and where one run keeps its files.
// In a build tree everything sits next to the executables (the build copies the data
// folders there). Installed, the executables are in the package's program folders,
// the read-only data in its data folder, and the files of a run (data.mdb, the file
// server's settings, PID file and staging folders) in a folder only the user may
// enter: $XDG_RUNTIME_DIR/fieldkit/, or /tmp/fieldkit-UID/ without a runtime folder.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace fk {

// Directory of the running executable, with a trailing '/'.
std::string ProgramDirectory();

// Everything the answers below depend on, so that they can be worked out for any
// layout; every folder ends with '/'.
struct FolderPlaces {
    std::string program_dir;
    std::vector<std::string> installed_program_dirs;  // where the package puts executables
    std::string installed_data_dir;                   // where the package puts the data
    std::string installed_file_server;
    std::string config_home;  // the user's settings folder; empty when unknown
    std::string runtime_dir;  // the user's runtime folder; empty when there is none
    std::string temp_dir;
    uid_t uid = 0;
};

// The places of this process: its executable, the package's folders this build was
// configured for, and the user's XDG folders.
FolderPlaces CurrentFolderPlaces();

bool IsInstalled(const FolderPlaces& places);
// Languages/, Skin/, help/ and the shipped Setting.ini.
std::string DataDirectory(const FolderPlaces& places);
// The user's own Setting.ini when there is one, else the shipped one.
std::string SettingsPath(const FolderPlaces& places);
std::string FileServerExecutable(const FolderPlaces& places);
// The user's private run folder, made on demand (or, when another user holds its
// name, a fresh one). Empty, with the reason, when no folder can be made at all.
std::string UserRunDirectory(const FolderPlaces& places, std::string* error = nullptr);
// `subfolder` ("" or "service/") of the program folder when that is a build tree's
// folder this user may write; otherwise the user's private run folder.
std::string RunDirectory(const FolderPlaces& places, const std::string& subfolder,
                         std::string* error = nullptr);

// The answers for this process.
std::string DataDirectory();
std::string FileServerExecutable();
std::string UserRunDirectory();
std::string RunDirectory(const std::string& subfolder = "");

}  // namespace fk
