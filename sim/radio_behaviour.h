// What a radio says and how a command changes it. No sockets and no clock of its
// own: the event loop feeds in the time and carries out the outcome.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sim/sim_radio.h"

namespace fk::sim {

using Datagram = std::vector<std::uint8_t>;

// A device message: header with the radio's model code and MAC, flag 0.
Datagram RadioDatagram(const SimRadio& radio, std::uint16_t type,
                       std::span<const std::uint8_t> payload);

Datagram Announcement(const SimRadio& radio, Clock now);
Datagram Keepalive(const SimRadio& radio, Clock now);
Datagram Report(const SimRadio& radio, Clock now);
// Result packets in sending order (radio.scan_order), at least one even for no neighbours,
// less those the radio is told to drop.
std::vector<Datagram> ScanResultPackets(const SimRadio& radio);

struct CommandOutcome {
    bool answer = false;  // reply with the command's own type
    std::vector<std::uint8_t> reply_payload;
    bool send_report = false;      // answer is the full report instead
    bool send_scan = false;        // answer is the scan result packets
    bool restart = false;          // fall silent for restart_ms after answering
    bool upgrade_fetch = false;    // report the outcome of fetching the image later
    bool upgrade_write = false;    // write the image: restart, then report the final result
    bool address_changed = false;  // radio.ip is new: the address must exist before use
    bool registered_now = false;   // start keep-alives
    bool released = false;
};

// Applies one command addressed to this radio (header MAC already matched).
CommandOutcome ApplyCommand(SimRadio& radio, std::uint16_t type,
                            std::span<const std::uint8_t> payload, std::size_t declared_len,
                            Clock now);

// Back from a restart: fresh uptime, forgets its registration; a factory restore also
// puts back the radio's factory settings and address. True when the address moved.
bool Reboot(SimRadio& radio, Clock now, bool factory);

// Keeps the radio's settings as they are now as the ones a factory restore brings back.
void TakeFactorySettings(SimRadio& radio);

// The copies of one answer that actually leave, after the radio's answer faults.
std::vector<Datagram> ShapeAnswer(const SimRadio& radio, const Datagram& answer);

// Applies the settings of a 22-byte address block; returns true when the address moved.
bool ApplyAddressBlock(SimRadio& radio, std::span<const std::uint8_t> block);

int PrefixOfMask(const std::uint8_t* mask);

}  // namespace fk::sim
