// What the engine counted: datagrams per port, and every bound on what the LAN can
// make it keep, each with what it turned away. An installer reads these to tell a
// storm (one host announcing made-up radios, a looped switch) from a slow program.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "protocol/inbound_handlers.h"
#include "protocol/presence_table.h"

namespace fk {

struct PortStats {
    std::uint64_t received = 0;       // datagrams read from the socket
    std::uint64_t rejected = 0;       // wrong size, magic or type for the port
    std::uint64_t queue_dropped = 0;  // arrived at a full receive queue
};

struct EngineStats {
    PortStats announce;
    PortStats keepalive;
    PortStats reply;
    PresenceCounters presence;
    HandlerCounters handlers;
    std::uint64_t resend_pending = 0;
    std::uint64_t resend_replaced = 0;    // a repeated command took the pending one's place
    std::uint64_t answers_watched = 0;    // (address, MAC, type) a caller waits on
    std::uint64_t answers_unwatched = 0;  // answers nobody waited on, so not tallied
};

// Every counter as a name and a value, in a fixed order, for printing.
std::vector<std::pair<std::string, std::uint64_t>> StatsFields(const EngineStats& stats);

}  // namespace fk
