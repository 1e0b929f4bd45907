#include "service/file_blocks.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace fk::tftp {

CFileBlocks::CFileBlocks(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

CFileBlocks::~CFileBlocks() {
    if (fd_ >= 0) close(fd_);
}

long long CFileBlocks::Read(std::uint64_t offset, std::span<std::uint8_t> out) {
    const bool cached =
        offset >= cache_offset_ && offset + out.size() <= cache_offset_ + cache_.size();
    if (!cached) {
        // Blocks larger than the read-ahead go straight to the caller.
        if (out.size() >= kReadAhead) return ReadAt(offset, out);
        cache_.resize(kReadAhead);
        const long long got = ReadAt(offset, cache_);
        if (got < 0) {
            cache_.clear();
            return -1;
        }
        cache_.resize(static_cast<std::size_t>(got));
        cache_offset_ = offset;
    }
    const std::size_t start = static_cast<std::size_t>(offset - cache_offset_);
    const std::size_t n = std::min(out.size(), cache_.size() - start);
    std::memcpy(out.data(), cache_.data() + start, n);
    return static_cast<long long>(n);
}

long long CFileBlocks::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n =
            pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

}  // namespace fk::tftp
