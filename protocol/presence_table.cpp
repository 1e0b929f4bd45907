#include "protocol/presence_table.h"

#include <algorithm>
#include <cstring>

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

CPresenceTable::CPresenceTable(IOutboundLink& link, CSqlManagement& store)
    : link_(link), store_(store) {}

ap_presence_stu* CPresenceTable::FindLocked(const std::string& mac) {
    const auto it = std::find_if(records_.begin(), records_.end(),
                                 [&](const ap_presence_stu& r) { return r.mac == mac; });
    return it == records_.end() ? nullptr : &*it;
}

bool CPresenceTable::Announce(const Announcement& a) {
    std::lock_guard lock(lock_);
    if (ap_presence_stu* found = FindLocked(a.mac)) {
        found->ap_type = a.ap_type;
        found->lifetime = kPresenceLifetime;
        CopyText(found->version, a.hello.version);
    } else {
        records_.push_back(NewRecord(a));
    }
    // Two devices on one address: the registered one keeps it, the newcomer is not
    // asked for a report until the conflict is gone.
    return std::none_of(records_.begin(), records_.end(), [&](const ap_presence_stu& r) {
        return r.state == registered && r.ip == a.ip && r.mac != a.mac;
    });
}

bool CPresenceTable::Keepalive(const std::string& mac, const std::string& ip,
                               const keepalive_stu& body) {
    std::lock_guard lock(lock_);
    ap_presence_stu* found = FindLocked(mac);
    if (found == nullptr) return false;
    found->lifetime = kPresenceLifetime;
    found->up_time = body.up_time;
    CopyText(found->version, body.version);
    found->ip = ip;
    return true;
}

bool CPresenceTable::AcceptReport(const std::string& mac, std::uint16_t ap_type,
                                  const ap_report_stu& report) {
    const std::string report_ip = IpOctetsToText(report.ip);
    std::lock_guard lock(lock_);
    ap_presence_stu* device = FindLocked(mac);
    if (device == nullptr) return false;
    const ap_presence_stu* owner = nullptr;
    for (const auto& r : records_) {
        if (r.state == registered && r.ip == report_ip) owner = &r;
    }
    if (owner != nullptr && owner != device) return false;
    device->ap_type = ap_type;
    device->state = registered;
    device->up_time = report.up_time;
    device->ip = report_ip;
    CopyText(device->version, report.version);
    device->bridge_transparent = report.bridge_transparent;
    device->tdmaEn = report.tdmaEn;
    return true;
}

void CPresenceTable::CommitPendingIp(const std::string& mac, const std::string& source_ip) {
    std::lock_guard lock(lock_);
    for (auto& r : records_) {
        if (r.mac != mac || r.ip != source_ip) continue;
        if (!r.pending_ip.empty() && r.pending_ip != r.ip) {
            r.ip = r.pending_ip;
            r.pending_ip.clear();
        }
        return;
    }
}

void CPresenceTable::ReleasePendingDevices() {
    std::lock_guard lock(lock_);
    for (const auto& r : records_) {
        if (r.state == announced) link_.SendToDevice(r.ip, MSG_RELEASE, {}, r.mac, false);
    }
}

void CPresenceTable::DropPendingDevices() {
    std::lock_guard lock(lock_);
    std::erase_if(records_, [](const ap_presence_stu& r) { return r.state == announced; });
}

void CPresenceTable::PruneStoreToPresent() {
    std::vector<std::string> stored;
    store_.GetAllMacs(stored);
    std::vector<std::string> gone;
    {
        std::lock_guard lock(lock_);
        for (const auto& mac : stored) {
            if (FindLocked(mac) == nullptr) gone.push_back(mac);
        }
    }
    for (const auto& mac : gone) store_.DeleteDevice(mac);
}

void CPresenceTable::ListPendingDevices(int max, const std::string& filter,
                                        std::vector<ap_info_stu>& list) {
    list.clear();
    std::lock_guard lock(lock_);
    int looked_at = 0;
    for (const auto& r : records_) {
        if (looked_at >= max) break;
        if (r.state != announced) continue;
        // Records that fail the filter use up the page's free rows all the same.
        ++looked_at;
        if (MatchesFilter(r, filter)) list.push_back(PendingRecord(r));
    }
}

void CPresenceTable::SetPendingIp(const std::string& mac, const std::string& old_ip,
                                  const std::string& new_ip) {
    std::lock_guard lock(lock_);
    for (auto& r : records_) {
        if (r.mac != mac || r.state != registered || r.ip != old_ip) continue;
        if (new_ip != old_ip) {
            r.pending_ip = new_ip;
        } else {
            r.pending_ip.clear();
        }
        return;
    }
}

void CPresenceTable::AgeOnce() {
    std::vector<std::string> gone;
    {
        std::lock_guard lock(lock_);
        std::erase_if(records_, [&](ap_presence_stu& r) {
            if (r.lifetime == 0) {
                gone.push_back(r.mac);
                return true;
            }
            if (r.state != announced) --r.lifetime;
            return false;
        });
    }
    for (const auto& mac : gone) store_.DeleteDevice(mac);
}

std::vector<std::pair<std::string, std::string>> CPresenceTable::AllDevices() const {
    std::lock_guard lock(lock_);
    std::vector<std::pair<std::string, std::string>> all;
    all.reserve(records_.size());
    for (const auto& r : records_) all.emplace_back(r.ip, r.mac);
    return all;
}

std::optional<ap_presence_stu> CPresenceTable::Find(const std::string& mac) const {
    std::lock_guard lock(lock_);
    for (const auto& r : records_) {
        if (r.mac == mac) return r;
    }
    return std::nullopt;
}

std::size_t CPresenceTable::Size() const {
    std::lock_guard lock(lock_);
    return records_.size();
}

}  // namespace fk
