// The blocks of one open file, read ahead in large pieces: a lock-step transfer asks
// for 512 bytes at a time, and one read per datagram would cost the loop a system
// call for every block it sends.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "service/tftp_transfer.h"

namespace fk::tftp {

class CFileBlocks final : public IBlockSource {
  public:
    static constexpr std::size_t kReadAhead = 256 * 1024;

    // Takes ownership of `fd`.
    CFileBlocks(int fd, std::uint64_t size);
    ~CFileBlocks() override;
    CFileBlocks(const CFileBlocks&) = delete;
    CFileBlocks& operator=(const CFileBlocks&) = delete;

    std::uint64_t Size() const override { return size_; }
    long long Read(std::uint64_t offset, std::span<std::uint8_t> out) override;

  private:
    long long ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

    int fd_;
    std::uint64_t size_;
    std::vector<std::uint8_t> cache_;
    std::uint64_t cache_offset_ = 0;
};

}  // namespace fk::tftp
