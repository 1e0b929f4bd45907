// The engine's short-lived view of the devices heard on the LAN. A device enters with
// its first announcement, is promoted once its full report is accepted, and leaves
// when it falls silent (the store follows: a device that leaves is deleted there) or
// when a new search drops the ones that never reported.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
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

// What the LAN may make the table keep. A looped switch, a broken radio or a hostile
// host can announce any number of made-up MACs; real radios that have not reported
// yet are few, and one address holds one radio except for a box of factory-fresh
// radios that all still answer from their default address.
struct PresenceLimits {
    std::size_t max_announced = 16384;
    std::size_t max_macs_per_source = 32;
};

// How often a limit turned a new MAC away.
struct PresenceCounters {
    std::uint64_t over_announced_cap = 0;
    std::uint64_t over_source_limit = 0;
    std::uint64_t announced_now = 0;
    std::uint64_t records_now = 0;
};

class CPresenceTable {
  public:
    CPresenceTable(IOutboundLink& link, CSqlManagement& store, PresenceLimits limits = {});

    // Records or refreshes the announcing device. False when the caller must not ask
    // for a report: another registered device already holds the source address, or a
    // limit kept the new MAC out of the table.
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
    PresenceCounters Counters() const;

  private:
    // The table keeps the order of first announcement (the pending list shows the
    // earliest first); `order` says which of two records came first.
    struct Node {
        ap_presence_stu record;
        std::uint64_t order = 0;
    };
    using NodeList = std::list<Node>;
    using NodeRef = NodeList::iterator;

    NodeRef FindLocked(const std::string& mac);
    // Whether a limit keeps a new MAC from `source_ip` out; counts what it turns away.
    bool RefusedByLimitLocked(const std::string& source_ip);
    void AddLocked(ap_presence_stu record);
    NodeRef EraseLocked(NodeRef node);
    // The registered records by address: kept in step with every change of a
    // record's address or state, so an address lookup never walks the table.
    void IndexLocked(NodeRef node);
    void UnindexLocked(NodeRef node);
    // The registered record on `ip` that came last, or end().
    NodeRef OwnerOfLocked(const std::string& ip);

    IOutboundLink& link_;
    CSqlManagement& store_;
    const PresenceLimits limits_;
    mutable std::mutex lock_;
    NodeList nodes_;
    std::unordered_map<std::string, NodeRef> by_mac_;
    std::unordered_map<std::string, std::vector<NodeRef>> registered_by_ip_;
    // New MACs each source address brought since the last search began.
    std::unordered_map<std::string, std::size_t> new_macs_by_source_;
    std::size_t announced_ = 0;
    std::uint64_t next_order_ = 0;
    std::atomic<std::uint64_t> over_announced_cap_{0};
    std::atomic<std::uint64_t> over_source_limit_{0};
};

}  // namespace fk
