#include "service/served_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace fk::tftp {
namespace {

OpenedFile Refused(ErrorCode code, std::string message) {
    OpenedFile file;
    file.error = code;
    file.message = std::move(message);
    return file;
}

bool HasParentStep(std::string_view name) {
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string_view::npos) end = name.size();
        if (name.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

OpenedFile OpenError(int error) {
    if (error == ENOENT || error == ENOTDIR)
        return Refused(ErrorCode::kFileNotFound, "File not found");
    return Refused(ErrorCode::kAccessViolation, "Access violation");
}

}  // namespace

std::string DescriptorPath(int fd) {
    char buf[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(link.c_str(), buf, sizeof(buf));
    if (n <= 0 || n >= static_cast<ssize_t>(sizeof(buf))) return {};
    return std::string(buf, static_cast<std::size_t>(n));
}

bool PathInside(std::string_view path, std::string_view folder) {
    if (folder.empty() || path.empty()) return false;
    if (folder == "/") return path.front() == '/';
    if (path.substr(0, folder.size()) != folder) return false;
    return path.size() == folder.size() || path[folder.size()] == '/';
}

CServedFolder::~CServedFolder() {
    if (dir_fd_ >= 0) close(dir_fd_);
}

CServedFolder::CServedFolder(CServedFolder&& other) noexcept : dir_fd_(other.dir_fd_) {
    other.dir_fd_ = -1;
}

CServedFolder& CServedFolder::operator=(CServedFolder&& other) noexcept {
    if (this != &other) {
        if (dir_fd_ >= 0) close(dir_fd_);
        dir_fd_ = other.dir_fd_;
        other.dir_fd_ = -1;
    }
    return *this;
}

bool CServedFolder::Open(const std::string& path, std::string* error) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = path + ": " + std::strerror(errno);
        return false;
    }
    if (dir_fd_ >= 0) close(dir_fd_);
    dir_fd_ = fd;
    return true;
}

OpenedFile CServedFolder::OpenFile(std::string_view name) const {
    if (dir_fd_ < 0) return Refused(ErrorCode::kNotDefined, "No folder is served");
    // These two are refused before opening only to give the client a plain answer;
    // the containment check below would refuse them anyway.
    if (!name.empty() && name.front() == '/') return OpenError(EACCES);
    if (HasParentStep(name)) return OpenError(EACCES);
    // O_NONBLOCK: a FIFO planted in the folder must not stall the whole server.
    const int fd =
        openat(dir_fd_, std::string(name).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return OpenError(errno);
    // The folder's path is asked afresh: a folder renamed while we run still counts.
    const std::string folder = DescriptorPath(dir_fd_);
    struct stat st {};
    if (!PathInside(DescriptorPath(fd), folder) || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return OpenError(EACCES);
    }
    OpenedFile file;
    file.fd = fd;
    file.size = static_cast<std::uint64_t>(st.st_size);
    return file;
}

}  // namespace fk::tftp
