// How the command line names message types and shows payload bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fk::cli {

// "MSG_SET_IP" and so on; "MSG_<number>" for a type the protocol does not name.
std::string MessageTypeName(int type);
// Two lower-case hex digits a byte, nothing between them.
std::string HexText(const std::vector<std::uint8_t>& bytes);

}  // namespace fk::cli
