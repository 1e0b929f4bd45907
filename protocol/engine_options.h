// Everything about the engine that a test may need to change. The defaults are the
// values the radios expect; tests shorten the ager period to age devices in
// milliseconds and may move the ports to run engines side by side.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "protocol/packet.h"

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
};

}  // namespace fk
