// The payload a user types for `fieldkit-cli send --payload`: pairs of hex digits,
// optionally separated by blanks or colons between bytes.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace fk::cli {

// False (and `bytes` unusable) for a stray character, a separator inside a byte, an
// odd digit count or more bytes than one datagram carries.
bool ParseHex(std::string_view text, std::vector<std::uint8_t>& bytes);

}  // namespace fk::cli
