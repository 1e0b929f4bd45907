// One virtual radio: its identity, the report it would send right now, the faults it
// plays, and what it has seen of the controller (so tests can assert what landed).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "protocol/report.h"

namespace fk::sim {

using Clock = std::uint64_t;  // milliseconds since the simulator started

struct ScanNeighbour {
    std::array<std::uint8_t, 6> mac{};
    std::int8_t signal = -60;
    std::uint8_t channel = 6;
    std::uint8_t secure_mode = 0;
    std::string ssid;
    std::uint8_t exchannel = 0;
    std::uint8_t bandwidth = 0;
};

// Everything a test may switch on per radio, from the config or at run time.
struct Faults {
    double loss = 0.0;                 // probability that an inbound command is not heard
    int duplicates = 0;                // extra copies of every answer
    int delay_ms = 0;                  // every answer leaves this much later
    bool silent = false;               // hears and counts, never answers anything
    bool silent_after_report = false;  // goes quiet for good once it has reported
    std::uint32_t reply_from = 0;      // answers leave from this local address instead
    bool wrong_answer = false;         // answers carry a type the command did not have
    bool wrong_mac = false;            // answers carry a MAC that is not the radio's
    bool malformed = false;            // a broken datagram precedes every answer
    bool keepalives = true;            // sends keep-alives once registered
    std::set<int> unanswered;          // command types heard and counted, never acted on
};

// Outcomes a radio reports for the commands that carry a result byte.
struct Results {
    std::uint8_t reboot = 0;
    std::uint8_t restore = 0;
    std::uint8_t vlan = 0;
    std::uint8_t bridge = 0;
    std::uint8_t upgrade_fetch = 0;  // first MSG_UPGRADE_RESULT: 0 image fetched, 1 failed
    std::uint8_t upgrade_final = 2;  // sent after the write restart; 2 = success
};

enum class Phase { kOnline, kRestarting, kGone };

struct SimRadio {
    // Identity.
    std::array<std::uint8_t, 6> mac{};
    std::string mac_text;
    std::uint32_t ip = 0;  // host order; also mirrored in report.ip
    int prefix = 24;
    std::string iface;
    int ifindex = 0;
    std::uint16_t ap_type = 1;
    ap_report_stu report{};
    // What a factory restore brings back: the settings the simulator started the radio
    // with, at `factory_ip` (its first address unless set), so a restored radio stays
    // inside the test's own addresses.
    ap_report_stu factory{};
    std::uint32_t factory_ip = 0;
    int factory_prefix = 24;
    std::uint32_t uptime_base = 0;  // up_time at boot_ms
    Clock boot_ms = 0;

    // Behaviour.
    Faults faults;
    Results results;
    std::vector<ScanNeighbour> neighbours;
    int scan_packets = 1;
    std::vector<int> scan_order;  // packet ids in sending order; empty = ascending
    std::vector<int> scan_drop;   // packet ids never sent (a survey that stays partial)
    int scan_gap_ms = 20;         // between result packets, so the chosen order holds
    int restart_ms = 3000;
    int keepalive_ms = 5000;
    bool short_announce = false;  // 33-byte announcement instead of the long form
    bool tftp_fetch = false;      // fetches upgrades by TFTP instead of pretending to

    // What happened.
    Phase phase = Phase::kOnline;
    bool registered = false;
    std::uint32_t controller = 0;         // last controller address that talked to this radio
    std::map<int, int> received;          // command type -> datagrams addressed to this radio
    std::map<int, Clock> first_heard_ms;  // command type -> when the first one arrived
    // command type -> payload of the last such command heard, as far as its header said
    std::map<int, std::vector<std::uint8_t>> last_payload;
    std::map<std::string, int> command_sources;
    int lost = 0;
    int keepalives_sent = 0;
    int announcements_sent = 0;
    int reports_sent = 0;
    int restarts = 0;
    std::string upgrade_file;
    std::uint32_t upgrade_size = 0;
    std::uint64_t fetched_bytes = 0;
    std::string fetch_error;
    std::uint64_t generation = 0;  // bumps on restart so stale timers know they are stale

    std::uint32_t UptimeAt(Clock now) const {
        return uptime_base + static_cast<std::uint32_t>((now - boot_ms) / 1000);
    }
};

}  // namespace fk::sim
