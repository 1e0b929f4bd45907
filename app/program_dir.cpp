#include "app/program_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "app/private_folder.h"

#ifndef FK_INSTALL_BINDIR
#define FK_INSTALL_BINDIR "/usr/local/bin"
#define FK_INSTALL_LIBEXECDIR "/usr/local/libexec/fieldkit"
#define FK_INSTALL_DATADIR "/usr/local/share/fieldkit"
#endif

namespace fk {
namespace {

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

// XDG folders count only when given as absolute paths.
std::string AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? WithSlash(value) : std::string();
}

std::string ConfigHome() {
    const std::string config = AbsoluteEnv("XDG_CONFIG_HOME");
    if (!config.empty()) return config;
    const std::string home = AbsoluteEnv("HOME");
    return home.empty() ? std::string() : home + ".config/";
}

bool OwnedFolder(const std::string& path, uid_t uid) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid;
}

}  // namespace

std::string ProgramDirectory() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

FolderPlaces CurrentFolderPlaces() {
    FolderPlaces places;
    places.program_dir = ProgramDirectory();
    places.installed_program_dirs = {WithSlash(FK_INSTALL_BINDIR),
                                     WithSlash(FK_INSTALL_LIBEXECDIR)};
    places.installed_data_dir = WithSlash(FK_INSTALL_DATADIR);
    places.installed_file_server = WithSlash(FK_INSTALL_LIBEXECDIR) + "FileServer";
    places.config_home = ConfigHome();
    places.runtime_dir = AbsoluteEnv("XDG_RUNTIME_DIR");
    places.temp_dir = "/tmp/";
    places.uid = geteuid();
    return places;
}

bool IsInstalled(const FolderPlaces& places) {
    const auto& dirs = places.installed_program_dirs;
    return std::find(dirs.begin(), dirs.end(), places.program_dir) != dirs.end();
}

std::string DataDirectory(const FolderPlaces& places) {
    return IsInstalled(places) ? places.installed_data_dir : places.program_dir;
}

std::string SettingsPath(const FolderPlaces& places) {
    if (!places.config_home.empty()) {
        const std::string own = places.config_home + "fieldkit/Setting.ini";
        if (access(own.c_str(), R_OK) == 0) return own;
    }
    return DataDirectory(places) + "Setting.ini";
}

std::string FileServerExecutable(const FolderPlaces& places) {
    return IsInstalled(places) ? places.installed_file_server
                               : places.program_dir + "service/FileServer";
}

std::string UserRunDirectory(const FolderPlaces& places, std::string* error) {
    // A runtime folder that is not the user's own (root started with a user's
    // environment, say) would leave files the user cannot remove; /tmp serves then.
    if (!places.runtime_dir.empty() && OwnedFolder(places.runtime_dir, places.uid)) {
        const std::string dir = places.runtime_dir + "fieldkit/";
        if (MakePrivateFolder(dir, places.uid, error)) return dir;
    }
    const std::string named = places.temp_dir + "fieldkit-" + std::to_string(places.uid);
    if (MakePrivateFolder(named + "/", places.uid, error)) return named + "/";
    // Someone else holds that name in the shared /tmp: a fresh folder (mkdtemp makes
    // it 0700) still keeps this run's files private, only not found by the next run.
    std::string fresh = named + "-XXXXXX";
    return mkdtemp(fresh.data()) != nullptr ? fresh + "/" : std::string();
}

std::string RunDirectory(const FolderPlaces& places, const std::string& subfolder,
                         std::string* error) {
    // Write access alone does not make a build tree: root may write to /usr/bin.
    const std::string beside = places.program_dir + subfolder;
    if (!IsInstalled(places) && access(beside.c_str(), W_OK) == 0) return beside;
    return UserRunDirectory(places, error);
}

std::string DataDirectory() {
    return DataDirectory(CurrentFolderPlaces());
}

std::string FileServerExecutable() {
    return FileServerExecutable(CurrentFolderPlaces());
}

std::string UserRunDirectory() {
    return UserRunDirectory(CurrentFolderPlaces());
}

std::string RunDirectory(const std::string& subfolder) {
    return RunDirectory(CurrentFolderPlaces(), subfolder);
}

}  // namespace fk
