// What a read request's options turn into: the block size, window and retransmission
// interval the transfer uses, and the options the server acknowledges. An option the
// server does not know or does not accept is left out of the acknowledgement, which
// tells the client to go without it; a request with no accepted option gets no OACK
// at all and so a plain transfer, as an old client expects.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "service/tftp_packet.h"

namespace fk::tftp {

struct NegotiationLimits {
    // Valid block sizes are 8 to 65464: 65464 plus the IP, UDP and TFTP headers is
    // the largest IPv4 datagram.
    std::uint16_t max_block_size = 65464;
    // A window of 64 blocks already keeps a LAN busy; beyond it a single loss costs
    // more in resent blocks than the window gains.
    std::uint16_t max_window = 64;
    // Blocks in flight are also bounded by bytes, so that one window always fits the
    // socket's send buffer and no block of it is dropped before it leaves.
    std::uint32_t max_window_bytes = 128 * 1024;
    std::chrono::milliseconds default_timeout{1000};
};

struct Negotiation {
    std::uint16_t block_size = kDefaultBlockSize;
    std::uint16_t window_size = 1;
    std::chrono::milliseconds timeout{1000};
    // Set by the client's timeout option: then the interval is kept as asked,
    // otherwise it is only where the measured one starts.
    bool timeout_fixed = false;
    // In the order the client sent them; empty means no OACK is sent.
    std::vector<Option> acknowledged;
};

Negotiation Negotiate(const std::vector<Option>& requested, std::uint64_t file_size,
                      const NegotiationLimits& limits = {});

}  // namespace fk::tftp
