// The payload typed after `fieldkit-cli send --payload`: whatever it accepts must be
// one datagram's worth at most, and written out again as hex it must read the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/cli/hex_payload.h"
#include "fuzz/fuzz_input.h"
#include "protocol/wire_sizes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes;
    if (!fk::cli::ParseHex(fk::fuzz::AsText({data, size}), bytes)) return 0;
    if (bytes.size() > fk::kMaxPayload) std::abort();
    std::string written;
    for (std::uint8_t b : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof(pair), "%02X", b);
        written += pair;
    }
    std::vector<std::uint8_t> again;
    if (!fk::cli::ParseHex(written, again) || again != bytes) std::abort();
    return 0;
}
