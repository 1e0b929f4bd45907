// Addresses typed by a user (window fields, --ip flags) and read back from the store:
// an address is accepted only in the one spelling the program writes, and the
// lenient readers never read out of bounds whatever the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "protocol/address_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = fk::fuzz::AsText({data, size});
    fk::Ipv4Octets octets;
    const bool exact = fk::ParseIpv4(text, octets);
    if (exact != (fk::IpOctetsToText(octets) == text)) std::abort();
    std::uint32_t host_order = 0;
    if (fk::ParseIpv4(text, host_order) != exact) std::abort();
    if (exact && fk::OctetsOfHostOrder(host_order) != octets) std::abort();
    fk::IpTextToOctets(text);
    const auto mac = fk::MacTextToBytes(text);
    if (fk::MacTextToBytes(fk::MacBytesToText(mac.data())) != mac) std::abort();
    return 0;
}
