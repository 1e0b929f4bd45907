// A request datagram as any host on the LAN may send it to port 69: the request and
// option parser, the negotiation against a file size taken from the input, and the
// other parsers the server and its tests use. Checks what the server relies on: the
// negotiated sizes stay inside their limits, and a parsed request survives being
// written out and parsed again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "service/tftp_options.h"
#include "service/tftp_packet.h"

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

void CheckNegotiation(const fk::tftp::Request& request, std::uint64_t file_size) {
    const fk::tftp::NegotiationLimits limits;
    const auto n = fk::tftp::Negotiate(request.options, file_size, limits);
    Check(n.block_size >= 8 && n.block_size <= limits.max_block_size);
    Check(n.window_size >= 1 && n.window_size <= limits.max_window);
    Check(n.window_size == 1 ||
          std::uint32_t{n.window_size} * n.block_size <= limits.max_window_bytes);
    Check(n.acknowledged.size() <= 4);
    // The OACK must be a packet the parser reads back to the same options.
    const auto oack = fk::tftp::ParseOptionAck(fk::tftp::BuildOptionAck(n.acknowledged));
    Check(oack && *oack == n.acknowledged);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte picks the served file's size: empty, one block, or large.
    const std::uint64_t file_sizes[] = {0, 512, 1468, 16u << 20, 40ull << 20};
    const std::uint64_t file_size = file_sizes[data[0] % 5];
    const fk::tftp::ByteView packet(data + 1, size - 1);

    fk::tftp::PeekOpcode(packet);
    fk::tftp::ParseAck(packet);
    fk::tftp::ParseError(packet);
    fk::tftp::ParseData(packet);
    fk::tftp::ParseOptionAck(packet);
    const auto request = fk::tftp::ParseRequest(packet);
    if (!request) return 0;
    Check(!request->filename.empty() && !request->mode.empty());
    const auto again = fk::tftp::ParseRequest(fk::tftp::BuildRequest(*request));
    Check(again && again->filename == request->filename && again->mode == request->mode &&
          again->options == request->options);
    CheckNegotiation(*request, file_size);
    return 0;
}
