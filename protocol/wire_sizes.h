// Byte counts of what travels between the controller and the devices, defined once:
// the structures assert against them, codecs, command blocks and the simulator size
// their buffers by them.
#pragma once

#include <cstddef>

namespace fk {

inline constexpr std::size_t kVlanBlockShort = 10;
inline constexpr std::size_t kVlanBlockFull = 22;

}  // namespace fk
