#include "app/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace fk {

std::string SessionInstanceName(const std::string& base) {
    return base + "." + std::to_string(geteuid());
}

bool CSingleInstance::Acquire() {
    if (Held()) return true;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    // Abstract names start with a NUL byte and never touch the file system.
    const std::size_t max_name = sizeof(addr.sun_path) - 1;
    if (name_.empty() || name_.size() > max_name) return false;
    std::memcpy(addr.sun_path + 1, name_.data(), name_.size());
    const auto len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name_.size());

    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&addr), len) != 0) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void CSingleInstance::Release() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

}  // namespace fk
