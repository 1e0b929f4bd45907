#include "protocol/presence_table.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "protocol/packet.h"
#include "store/sql_management.h"

namespace fk {

namespace {

template <std::size_t N>
void CopyText(fixed_text<N>& to, const fixed_text<N>& from) {
    std::memcpy(&to, &from, sizeof(to));
}

// The status page shows the version on one line.
text32 VersionForList(const text32& version) {
    const std::string_view view = version.View();
    text32 out{};
    out.Assign(view.substr(0, view.find('\n')));
    return out;
}

bool MatchesFilter(const ap_presence_stu& r, const std::string& filter) {
    if (filter.empty()) return true;
    return r.ip.find(filter) != std::string::npos || r.mac.find(filter) != std::string::npos ||
           r.version.View().find(filter) != std::string_view::npos;
}

ap_info_stu PendingRecord(const ap_presence_stu& r) {
    ap_info_stu info = ZeroRecord();
    info.SetMac(r.mac);
    info.ap_type = r.ap_type;
    info.ap_status = kStatusAnnounced;
    const auto octets = IpTextToOctets(r.ip);
    std::memcpy(info.report.ip, octets.data(), octets.size());
    info.report.version = VersionForList(r.version);
    CopyText(info.report.ap_name, r.ap_name);
    CopyText(info.report.ssid, r.ssid);
    info.report.up_time = r.up_time;
    info.report.work_mode = r.work_mode;
    info.report.mode_btn_status = r.mode_btn_status;
    info.report.channel = r.channel;
    info.report.bridge_transparent = r.bridge_transparent;
    info.report.tdmaEn = r.tdmaEn;
    return info;
}

ap_presence_stu NewRecord(const Announcement& a) {
    ap_presence_stu r;
    r.ip = a.ip;
    r.mac = a.mac;
    r.ap_type = a.ap_type;
    CopyText(r.version, a.hello.version);
    if (!a.long_form) return r;
    r.work_mode = a.hello.work_mode;
    r.mode_btn_status = a.hello.mode_btn_status;
    r.up_time = a.hello.up_time;
    CopyText(r.ap_name, a.hello.ap_name);
    CopyText(r.ssid, a.hello.ssid);
    ConvertFieldToLocal(r.ap_name);
    ConvertFieldToLocal(r.ssid);
    r.channel = a.hello.channel;
    r.bridge_transparent = a.hello.bridge_transparent;
    r.tdmaEn = a.hello.tdmaEn;
    return r;
}

}  // namespace

CPresenceTable::CPresenceTable(IOutboundLink& link, CSqlManagement& store, PresenceLimits limits)
    : link_(link), store_(store), limits_(limits) {}

CPresenceTable::NodeRef CPresenceTable::FindLocked(const std::string& mac) {
    const auto it = by_mac_.find(mac);
    return it == by_mac_.end() ? nodes_.end() : it->second;
}

void CPresenceTable::IndexLocked(NodeRef node) {
    if (node->record.state == registered) registered_by_ip_[node->record.ip].push_back(node);
}

void CPresenceTable::UnindexLocked(NodeRef node) {
    if (node->record.state != registered) return;
    const auto it = registered_by_ip_.find(node->record.ip);
    if (it == registered_by_ip_.end()) return;
    std::erase(it->second, node);
    if (it->second.empty()) registered_by_ip_.erase(it);
}

CPresenceTable::NodeRef CPresenceTable::OwnerOfLocked(const std::string& ip) {
    const auto it = registered_by_ip_.find(ip);
    if (it == registered_by_ip_.end()) return nodes_.end();
    // Several registered devices share an address only after one moved onto another's
    // (keep-alives follow a device wherever it goes); the later record owns it.
    return *std::max_element(it->second.begin(), it->second.end(),
                             [](NodeRef a, NodeRef b) { return a->order < b->order; });
}

void CPresenceTable::AddLocked(ap_presence_stu record) {
    const std::string mac = record.mac;
    nodes_.push_back(Node{std::move(record), next_order_++});
    const NodeRef node = std::prev(nodes_.end());
    by_mac_.emplace(mac, node);
    if (node->record.state == announced) ++announced_;
    IndexLocked(node);
}

CPresenceTable::NodeRef CPresenceTable::EraseLocked(NodeRef node) {
    UnindexLocked(node);
    if (node->record.state == announced) --announced_;
    by_mac_.erase(node->record.mac);
    return nodes_.erase(node);
}

bool CPresenceTable::RefusedByLimitLocked(const std::string& source_ip) {
    // Looked up, not inserted, until a record is made: made-up source addresses must
    // not grow this map past the records themselves.
    const auto from_source = new_macs_by_source_.find(source_ip);
    const std::size_t brought = from_source == new_macs_by_source_.end() ? 0 : from_source->second;
    if (brought >= limits_.max_macs_per_source) {
        over_source_limit_.fetch_add(1, std::memory_order_relaxed);
        return true;
    }
    if (announced_ >= limits_.max_announced) {
        over_announced_cap_.fetch_add(1, std::memory_order_relaxed);
        return true;
    }
    ++new_macs_by_source_[source_ip];
    return false;
}

bool CPresenceTable::Announce(const Announcement& a) {
    std::lock_guard lock(lock_);
    if (const NodeRef found = FindLocked(a.mac); found != nodes_.end()) {
        found->record.ap_type = a.ap_type;
        found->record.lifetime = kPresenceLifetime;
        CopyText(found->record.version, a.hello.version);
    } else if (RefusedByLimitLocked(a.ip)) {
        // Still answered by the caller, so a real radio beyond the limit keeps trying.
        return false;
    } else {
        AddLocked(NewRecord(a));
    }
    // Two devices on one address: the registered one keeps it, the newcomer is not
    // asked for a report until the conflict is gone.
    const auto owners = registered_by_ip_.find(a.ip);
    if (owners == registered_by_ip_.end()) return true;
    return std::none_of(owners->second.begin(), owners->second.end(),
                        [&](NodeRef r) { return r->record.mac != a.mac; });
}

bool CPresenceTable::Keepalive(const std::string& mac, const std::string& ip,
                               const keepalive_stu& body) {
    std::lock_guard lock(lock_);
    const NodeRef found = FindLocked(mac);
    if (found == nodes_.end()) return false;
    ap_presence_stu& r = found->record;
    r.lifetime = kPresenceLifetime;
    r.up_time = body.up_time;
    CopyText(r.version, body.version);
    if (r.ip != ip) {
        UnindexLocked(found);
        r.ip = ip;
        IndexLocked(found);
    }
    return true;
}

bool CPresenceTable::AcceptReport(const std::string& mac, std::uint16_t ap_type,
                                  const ap_report_stu& report) {
    const std::string report_ip = IpOctetsToText(report.ip);
    std::lock_guard lock(lock_);
    const NodeRef device = FindLocked(mac);
    if (device == nodes_.end()) return false;
    const NodeRef owner = OwnerOfLocked(report_ip);
    if (owner != nodes_.end() && owner != device) return false;
    UnindexLocked(device);
    ap_presence_stu& r = device->record;
    if (r.state == announced) --announced_;
    r.ap_type = ap_type;
    r.state = registered;
    r.up_time = report.up_time;
    r.ip = report_ip;
    CopyText(r.version, report.version);
    r.bridge_transparent = report.bridge_transparent;
    r.tdmaEn = report.tdmaEn;
    IndexLocked(device);
    return true;
}

void CPresenceTable::CommitPendingIp(const std::string& mac, const std::string& source_ip) {
    std::lock_guard lock(lock_);
    const NodeRef found = FindLocked(mac);
    if (found == nodes_.end() || found->record.ip != source_ip) return;
    ap_presence_stu& r = found->record;
    if (!r.pending_ip.empty() && r.pending_ip != r.ip) {
        UnindexLocked(found);
        r.ip = r.pending_ip;
        r.pending_ip.clear();
        IndexLocked(found);
    }
}

void CPresenceTable::ReleasePendingDevices() {
    std::lock_guard lock(lock_);
    for (const Node& n : nodes_) {
        if (n.record.state == announced) {
            link_.SendToDevice(n.record.ip, MSG_RELEASE, {}, n.record.mac, false);
        }
    }
}

void CPresenceTable::DropPendingDevices() {
    std::lock_guard lock(lock_);
    for (NodeRef it = nodes_.begin(); it != nodes_.end();) {
        it = it->record.state == announced ? EraseLocked(it) : std::next(it);
    }
    // A new search: every address may announce its handful of new devices again.
    new_macs_by_source_.clear();
}

void CPresenceTable::PruneStoreToPresent() {
    std::vector<std::string> stored;
    store_.GetAllMacs(stored);
    std::vector<std::string> gone;
    {
        std::lock_guard lock(lock_);
        for (const auto& mac : stored) {
            if (!by_mac_.contains(mac)) gone.push_back(mac);
        }
    }
    for (const auto& mac : gone) store_.DeleteDevice(mac);
}

void CPresenceTable::ListPendingDevices(int max, const std::string& filter,
                                        std::vector<ap_info_stu>& list) {
    list.clear();
    std::lock_guard lock(lock_);
    int looked_at = 0;
    for (const Node& n : nodes_) {
        if (looked_at >= max) break;
        if (n.record.state != announced) continue;
        // Records that fail the filter use up the page's free rows all the same.
        ++looked_at;
        if (MatchesFilter(n.record, filter)) list.push_back(PendingRecord(n.record));
    }
}

void CPresenceTable::SetPendingIp(const std::string& mac, const std::string& old_ip,
                                  const std::string& new_ip) {
    std::lock_guard lock(lock_);
    const NodeRef found = FindLocked(mac);
    if (found == nodes_.end()) return;
    ap_presence_stu& r = found->record;
    if (r.state != registered || r.ip != old_ip) return;
    if (new_ip != old_ip) {
        r.pending_ip = new_ip;
    } else {
        r.pending_ip.clear();
    }
}

void CPresenceTable::AgeOnce() {
    std::vector<std::string> gone;
    {
        std::lock_guard lock(lock_);
        for (NodeRef it = nodes_.begin(); it != nodes_.end();) {
            ap_presence_stu& r = it->record;
            if (r.lifetime == 0) {
                gone.push_back(r.mac);
                it = EraseLocked(it);
                continue;
            }
            if (r.state != announced) --r.lifetime;
            ++it;
        }
    }
    for (const auto& mac : gone) store_.DeleteDevice(mac);
}

std::vector<std::pair<std::string, std::string>> CPresenceTable::AllDevices() const {
    std::lock_guard lock(lock_);
    std::vector<std::pair<std::string, std::string>> all;
    all.reserve(nodes_.size());
    for (const Node& n : nodes_) all.emplace_back(n.record.ip, n.record.mac);
    return all;
}

std::optional<ap_presence_stu> CPresenceTable::Find(const std::string& mac) const {
    std::lock_guard lock(lock_);
    const auto it = by_mac_.find(mac);
    if (it == by_mac_.end()) return std::nullopt;
    return it->second->record;
}

std::size_t CPresenceTable::Size() const {
    std::lock_guard lock(lock_);
    return nodes_.size();
}

PresenceCounters CPresenceTable::Counters() const {
    PresenceCounters c;
    c.over_announced_cap = over_announced_cap_.load(std::memory_order_relaxed);
    c.over_source_limit = over_source_limit_.load(std::memory_order_relaxed);
    std::lock_guard lock(lock_);
    c.announced_now = announced_;
    c.records_now = nodes_.size();
    return c;
}

}  // namespace fk
