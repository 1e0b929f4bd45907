#include "protocol/subnet.h"

#include <cstdint>

#include "protocol/address_text.h"

namespace fk {

namespace {

// "0.0.0.0", an empty text and anything unparsable all mean "not set".
bool ReadSet(const std::string& text, std::uint32_t& value) {
    return ParseIpv4(text, value) && value != 0;
}

}  // namespace

std::optional<std::string> DirectedBroadcast(const std::string& address, const std::string& mask) {
    std::uint32_t a = 0;
    std::uint32_t m = 0;
    if (!ReadSet(address, a) || !ReadSet(mask, m)) return std::nullopt;
    return IpHostOrderToText(a | ~m);
}

bool InSameSubnet(const std::string& address, const std::string& mask, const std::string& other) {
    std::uint32_t a = 0;
    std::uint32_t m = 0;
    std::uint32_t o = 0;
    if (!ReadSet(address, a) || !ReadSet(mask, m) || !ReadSet(other, o)) return false;
    return (a & m) == (o & m);
}

}  // namespace fk
