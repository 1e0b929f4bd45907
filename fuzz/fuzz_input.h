// Reads a fuzzer's input as a run of small typed pieces, so one input can hold a
// sequence of events (datagrams, ACKs, clock steps) and the fuzzer can still mutate
// each byte. Reading past the end yields zeros and empty pieces.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace fk::fuzz {

class CInput {
  public:
    CInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    bool Empty() const { return at_ >= bytes_.size(); }

    std::uint8_t Byte() { return Empty() ? 0 : bytes_[at_++]; }

    std::uint16_t U16() {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }

    // A piece whose length comes first as two bytes, cut to what is left.
    std::span<const std::uint8_t> Piece() {
        const std::size_t wanted = U16();
        const std::size_t n = std::min(wanted, bytes_.size() - std::min(at_, bytes_.size()));
        const auto piece = bytes_.subspan(std::min(at_, bytes_.size()), n);
        at_ += n;
        return piece;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

inline std::string_view AsText(std::span<const std::uint8_t> bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace fk::fuzz
