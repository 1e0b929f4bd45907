// The one folder the server hands files out of. A requested name is opened below the
// folder and then checked by what was actually opened, not by how the name reads:
// the kernel's own path of the open file must lie inside the folder's own path. So
// "..", absolute names and symbolic links leading out are refused however they are
// spelled, a link between two files inside is followed, and nothing can be swapped
// between the check and the read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "service/tftp_packet.h"

namespace fk::tftp {

struct OpenedFile {
    int fd = -1;  // owned by the caller when valid
    std::uint64_t size = 0;
    ErrorCode error = ErrorCode::kNotDefined;
    std::string message;  // set when fd < 0
};

class CServedFolder {
  public:
    CServedFolder() = default;
    ~CServedFolder();
    CServedFolder(CServedFolder&& other) noexcept;
    CServedFolder& operator=(CServedFolder&& other) noexcept;
    CServedFolder(const CServedFolder&) = delete;
    CServedFolder& operator=(const CServedFolder&) = delete;

    // False (with the reason) when the folder cannot be opened.
    bool Open(const std::string& path, std::string* error);
    OpenedFile OpenFile(std::string_view name) const;

  private:
    int dir_fd_ = -1;
};

// The path the kernel reports for an open descriptor; empty when it cannot say.
std::string DescriptorPath(int fd);
// True when `path` is `folder` itself or lies below it (both canonical).
bool PathInside(std::string_view path, std::string_view folder);

}  // namespace fk::tftp
