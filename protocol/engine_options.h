// Everything about the engine that a test may need to change. The defaults are the
// values the radios expect; tests shorten the ager period to age devices in
// milliseconds and may move the ports to run engines side by side.
//
// The bounds say how much the LAN can make the engine keep. Their defaults are sized
// for 10,000 radios answering one search at once; each is counted when it bites
// (EngineStats), so a storm shows as a storm instead of as a slow program.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/packet.h"
#include "protocol/presence_table.h"
#include "protocol/receive_queue.h"

namespace fk {

struct EngineOptions {
    std::uint16_t announce_port = kPortAnnounce;    // devices announce themselves here
    std::uint16_t search_port = kPortSearch;        // search broadcasts go to and from here
    std::uint16_t keepalive_port = kPortKeepalive;  // keep-alives in, commands out
    std::uint16_t reply_port = kPortReply;          // every answer to a command
    std::string command_group = kCommandGroup;      // commands go to this group, keepalive_port
    std::chrono::milliseconds ager_period{10000};
    // Values until Start sets its own.
    int retransmission_max = 3;
    int retransmission_interval = 2000;
    // A zero or negative interval (what a non-numeric setting reads as) must not turn
    // the resend thread into a busy loop holding the resend lock.
    std::chrono::milliseconds min_resend_interval{5};
    // Datagrams waiting for their worker, per port.
    std::size_t announce_queue_depth = CReceiveQueue::kDefaultDepth;
    std::size_t keepalive_queue_depth = CReceiveQueue::kDefaultDepth;
    std::size_t reply_queue_depth = CReceiveQueue::kDefaultDepth;
    // How long the keep-alive receiver naps after taking what was queued, so that the
    // next keep-alives are taken, handed over and answered together: a wake-up of the
    // receiver and of the worker is shared by all that came meanwhile. A radio's answer
    // comes at most about this much later, well within the seconds it waits for one.
    // At a thousand radios the wake-ups are most of what a keep-alive costs: 200 ms
    // took it from about 22 to about 17 us of CPU against 50 ms (both measured by
    // bench/discovery_bench.sh); ten thousand radios fill a batch before either ends.
    std::chrono::milliseconds keepalive_gather{200};
    // Uptimes are written to the store at most this often, all in one transaction: a
    // page shows a radio's uptime up to this much late, and a keep-alive costs a
    // third of what it does when every gather commits its own.
    std::chrono::milliseconds keepalive_store_interval{1000};
    // Announced devices that have not reported yet, and new MACs per source address
    // within one search.
    PresenceLimits presence;
};

}  // namespace fk
