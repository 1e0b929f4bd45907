// Turns what devices send into presence and store changes, and answers the device
// where the protocol asks for it. Each entry point runs on one engine worker only;
// presence changes are made under the presence lock, sends and store calls after it.
#pragma once

#include <atomic>
#include <cstdint>

#include "protocol/outbound_link.h"
#include "protocol/packet.h"
#include "protocol/presence_table.h"
#include "store/sql_management.h"

namespace fk {

// The device status a reply's result byte leads to; -1 when the reply type carries
// no result or its result leaves the status as it is.
int StatusForResult(std::uint16_t type, std::uint8_t result);

// Survey result packets the handlers turned away or cut short.
struct HandlerCounters {
    std::uint64_t scan_packets_unasked = 0;  // from a radio nobody asked for a survey
    std::uint64_t scan_packets_short = 0;    // claiming more entries than they carry
};

class CInboundHandlers {
  public:
    CInboundHandlers(CPresenceTable& presence, CSqlManagement& store, IOutboundLink& link);

    void OnAnnouncement(const udp_packet_stu& element);
    void OnKeepalive(const udp_packet_stu& element);
    // A keep-alive without its store write: refreshes and answers the device and
    // fills `uptime` with what the store is to get. False for an unknown device.
    bool HandleKeepalive(const udp_packet_stu& element, UptimeUpdate& uptime);
    void OnReply(const udp_packet_stu& element);

    HandlerCounters Counters() const;

  private:
    void HandleReply(const udp_packet_stu& element);
    void OnDeviceReport(const udp_packet_stu& element);
    void OnScanResults(const udp_packet_stu& element);

    CPresenceTable& presence_;
    CSqlManagement& store_;
    IOutboundLink& link_;
    std::atomic<std::uint64_t> scan_unasked_{0};
    std::atomic<std::uint64_t> scan_short_{0};
};

}  // namespace fk
