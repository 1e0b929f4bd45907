// The engine's short-lived view of the devices heard on the LAN. A device enters with
// its first announcement, is promoted once its full report is accepted, and leaves
// when it falls silent (the store follows: a device that leaves is deleted there) or
// when a new search drops the ones that never reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "protocol/outbound_link.h"
#include "protocol/report.h"
#include "store/device_record.h"

namespace fk {

class CSqlManagement;

enum PresenceState : std::uint8_t { announced = 1, registered = 2 };

// Ager ticks a device survives without an announcement or keep-alive.
inline constexpr std::uint8_t kPresenceLifetime = 3;

struct ap_presence_stu {
    std::string ip;
    std::string pending_ip;
    std::string mac;
    std::uint16_t ap_type = 0;
    std::uint8_t state = announced;
    std::uint8_t lifetime = kPresenceLifetime;
    std::uint32_t up_time = 0;
    text32 version{};
    std::uint8_t work_mode = 0;
    std::uint8_t mode_btn_status = 0;
    text32 ap_name{};
    text32 ssid{};
    std::uint8_t channel = 0;
    std::uint8_t bridge_transparent = 0;
    std::uint8_t tdmaEn = 0;
};

// What a device said about itself in an announcement, already decoded.
struct Announcement {
    std::string ip;
    std::string mac;
    std::uint16_t ap_type = 0;
    bool long_form = false;
    ap_hello_stu hello{};
};

class CPresenceTable {
  public:
    CPresenceTable(IOutboundLink& link, CSqlManagement& store);

    // Records or refreshes the announcing device. False when another registered
    // device already holds the source address: the caller then asks for no report.
    bool Announce(const Announcement& announcement);
    // Refreshes a known device; false when the device has no record.
    bool Keepalive(const std::string& mac, const std::string& ip, const keepalive_stu& body);
    // Promotes the device whose full report arrived; false when it is refused.
    bool AcceptReport(const std::string& mac, std::uint16_t ap_type, const ap_report_stu& report);
    // The device acknowledged MSG_SET_IP from `source_ip`: its announced new address
    // becomes its address.
    void CommitPendingIp(const std::string& mac, const std::string& source_ip);

    void ReleasePendingDevices();
    void DropPendingDevices();
    void PruneStoreToPresent();
    void ListPendingDevices(int max, const std::string& filter, std::vector<ap_info_stu>& list);
    void SetPendingIp(const std::string& mac, const std::string& old_ip, const std::string& new_ip);

    // One ager tick: registered devices lose one unit of lifetime; those found at 0
    // leave the table and the store.
    void AgeOnce();

    // (ip, mac) of every record, for the goodbye at shutdown.
    std::vector<std::pair<std::string, std::string>> AllDevices() const;
    std::optional<ap_presence_stu> Find(const std::string& mac) const;
    std::size_t Size() const;

  private:
    ap_presence_stu* FindLocked(const std::string& mac);

    IOutboundLink& link_;
    CSqlManagement& store_;
    mutable std::mutex lock_;
    std::vector<ap_presence_stu> records_;
};

}  // namespace fk
