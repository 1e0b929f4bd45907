#include "app/private_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace fk {
namespace {

bool Refuse(const std::string& path, const std::string& why, std::string* error) {
    if (error) *error = path + ": " + why;
    return false;
}

}  // namespace

bool MakePrivateFolder(const std::string& folder, uid_t uid, std::string* error) {
    // A trailing '/' would make open() follow a link the name itself is.
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return Refuse(path, std::strerror(errno), error);
    }
    // Opened without following a link, so the checks and the chmod below are about
    // the very folder that is used, not about whatever a name points to.
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return Refuse(path, "not a folder of its own (" + std::string(std::strerror(errno)) + ")",
                      error);
    struct stat st {};
    const bool ours = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid;
    const bool private_now = ours && ((st.st_mode & 0777) == 0700 || fchmod(fd, 0700) == 0);
    close(fd);
    if (!ours) return Refuse(path, "belongs to another user", error);
    if (!private_now) return Refuse(path, "cannot be made private", error);
    return true;
}

}  // namespace fk
