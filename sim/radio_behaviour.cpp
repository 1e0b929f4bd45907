#include "sim/radio_behaviour.h"

#include <algorithm>
#include <cstring>

#include "protocol/packet.h"

namespace fk::sim {
namespace {

template <typename T>
std::span<const std::uint8_t> BytesOf(const T& value) {
    return {reinterpret_cast<const std::uint8_t*>(&value), sizeof(T)};
}

std::uint8_t* ReportBytes(SimRadio& radio) {
    return reinterpret_cast<std::uint8_t*>(&radio.report);
}

// Copies a command block over the report at `offset`. A block shorter than `need`
// is refused whole: half a setting applied is worse than none.
bool ApplyBlock(SimRadio& radio, std::span<const std::uint8_t> payload, std::size_t offset,
                std::size_t need) {
    if (payload.size() < need) return false;
    std::memcpy(ReportBytes(radio) + offset, payload.data(), need);
    return true;
}

void HostToOctets(std::uint32_t ip, std::uint8_t* o) {
    const Ipv4Octets octets = OctetsOfHostOrder(ip);
    std::copy(octets.begin(), octets.end(), o);
}

CommandOutcome Answer(std::uint8_t result) {
    CommandOutcome out;
    out.answer = true;
    out.reply_payload = {result};
    return out;
}

CommandOutcome Ack() {
    CommandOutcome out;
    out.answer = true;
    return out;
}

CommandOutcome OnSetBridge(SimRadio& radio, std::span<const std::uint8_t> payload) {
    if (payload.size() < kBridgePayloadSize) return {};
    CommandOutcome out = Answer(radio.results.bridge);
    if (radio.results.bridge != 0) return out;
    std::memcpy(ReportBytes(radio) + offsetof(ap_report_stu, bridge_work_mode), payload.data(),
                kBridgeBlockSize);
    radio.report.work_mode = 2;  // a bridged radio is a station of the chosen access point
    out.address_changed = ApplyAddressBlock(radio, payload.subspan(kBridgeBlockSize, kIpBlockSize));
    return out;
}

CommandOutcome OnUpgrade(SimRadio& radio, std::span<const std::uint8_t> payload) {
    if (payload.size() < kUpgradePayloadSize) return {};
    const auto* name = reinterpret_cast<const char*>(payload.data());
    radio.upgrade_file.assign(name, strnlen(name, std::min<std::size_t>(payload[260], 259)));
    std::memcpy(&radio.upgrade_size, payload.data() + 264, 4);
    CommandOutcome out = Ack();
    out.upgrade_fetch = true;
    return out;
}

CommandOutcome OnUpgradeStatus(SimRadio& radio) {
    CommandOutcome out = Ack();
    out.upgrade_write = !radio.upgrade_file.empty() && radio.results.upgrade_fetch == 0;
    return out;
}

CommandOutcome OnSwitch(SimRadio& radio, std::span<const std::uint8_t> payload, bool tdma) {
    // Each command carries the whole 12-byte switch block, but only its own byte means
    // anything: applying the rest would switch the other feature off behind the user's back.
    if (payload.size() < kSwitchBlockSize) return {};
    if (tdma) {
        radio.report.tdmaEn = payload[1];
    } else {
        radio.report.bridge_transparent = payload[0];
    }
    return Ack();
}

CommandOutcome OnVlan(SimRadio& radio, std::span<const std::uint8_t> payload) {
    if (payload.size() < kVlanBlockShort) return {};
    CommandOutcome out = Answer(radio.results.vlan);
    if (radio.results.vlan != 0) return out;
    ApplyBlock(radio, payload, offsetof(ap_report_stu, vlan_en),
               payload.size() >= kVlanBlockFull ? kVlanBlockFull : kVlanBlockShort);
    out.restart = true;
    return out;
}

CommandOutcome OnRestart(SimRadio& radio, std::uint8_t result) {
    CommandOutcome out = Answer(result);
    out.restart = result == 0;
    (void)radio;
    return out;
}

}  // namespace

int PrefixOfMask(const std::uint8_t* mask) {
    int bits = 0;
    for (std::uint32_t m = HostOrderOf(mask); m & 0x80000000u; m <<= 1) ++bits;
    return bits;
}

bool ApplyAddressBlock(SimRadio& radio, std::span<const std::uint8_t> block) {
    if (block.size() < kIpBlockSize) return false;
    const std::uint32_t new_ip = HostOrderOf(block.data() + 1);
    std::memcpy(ReportBytes(radio) + offsetof(ap_report_stu, ip_mode), block.data(), kIpBlockSize);
    if (new_ip == 0 || new_ip == radio.ip) {
        HostToOctets(radio.ip, radio.report.ip);  // an empty address is never taken
        return false;
    }
    radio.ip = new_ip;
    const int prefix = PrefixOfMask(radio.report.ip_mask);
    if (prefix > 0) radio.prefix = prefix;
    return true;
}

Datagram RadioDatagram(const SimRadio& radio, std::uint16_t type,
                       std::span<const std::uint8_t> payload) {
    Datagram bytes = BuildDatagram(type, payload, radio.mac_text, false);
    bytes[2] = static_cast<std::uint8_t>(radio.ap_type & 0xff);
    bytes[3] = static_cast<std::uint8_t>(radio.ap_type >> 8);
    return bytes;
}

Datagram Announcement(const SimRadio& radio, Clock now) {
    ap_hello_stu hello{};
    hello.version = radio.report.version;
    hello.work_mode = radio.report.work_mode;
    hello.mode_btn_status = radio.report.mode_btn_status;
    hello.up_time = radio.UptimeAt(now);
    hello.ap_name = radio.report.ap_name;
    hello.ssid = radio.report.ssid;
    hello.channel = radio.report.channel;
    hello.bridge_transparent = radio.report.bridge_transparent;
    hello.tdmaEn = radio.report.tdmaEn;
    auto bytes = BytesOf(hello);
    if (radio.short_announce) bytes = bytes.first(kShortAnnouncementSize);
    return RadioDatagram(radio, MSG_DISCOVER, bytes);
}

Datagram Keepalive(const SimRadio& radio, Clock now) {
    keepalive_stu keep{};
    keep.version = radio.report.version;
    keep.up_time = radio.UptimeAt(now);
    return RadioDatagram(radio, MSG_KEEPALIVE, BytesOf(keep));
}

Datagram Report(const SimRadio& radio, Clock now) {
    ap_report_stu report = radio.report;
    report.up_time = radio.UptimeAt(now);
    HostToOctets(radio.ip, report.ip);
    return RadioDatagram(radio, MSG_GET_DEVICE_INFO, BytesOf(report));
}

std::vector<Datagram> ScanResultPackets(const SimRadio& radio) {
    const std::size_t total = radio.neighbours.size();
    std::size_t packets = std::max<std::size_t>(1, static_cast<std::size_t>(radio.scan_packets));
    packets = std::max(packets, (total + kMaxScanEntries - 1) / kMaxScanEntries);
    packets = std::min<std::size_t>(packets, 255);
    std::vector<Datagram> by_id;
    std::size_t next = 0;
    for (std::size_t id = 0; id < packets; ++id) {
        const std::size_t share = (total - next) / (packets - id);
        std::vector<std::uint8_t> payload = {static_cast<std::uint8_t>(packets),
                                             static_cast<std::uint8_t>(id),
                                             static_cast<std::uint8_t>(share)};
        for (std::size_t k = 0; k < share; ++k, ++next) {
            const ScanNeighbour& n = radio.neighbours[next];
            scan_entry_stu entry{};
            std::copy(n.mac.begin(), n.mac.end(), entry.mac);
            entry.signal = n.signal;
            entry.channel = n.channel;
            entry.secure_mode = n.secure_mode;
            entry.ssid.Assign(n.ssid);
            entry.exchannel = n.exchannel;
            entry.bandwidth = n.bandwidth;
            const auto bytes = BytesOf(entry);
            payload.insert(payload.end(), bytes.begin(), bytes.end());
        }
        by_id.push_back(RadioDatagram(radio, MSG_SCAN_AP, payload));
    }
    std::vector<Datagram> ordered;
    for (int id : radio.scan_order) {
        if (id >= 0 && static_cast<std::size_t>(id) < by_id.size() && !by_id[id].empty()) {
            ordered.push_back(std::move(by_id[id]));
            by_id[id].clear();
        }
    }
    for (auto& packet : by_id) {
        if (!packet.empty()) ordered.push_back(std::move(packet));
    }
    return ordered;
}

CommandOutcome ApplyCommand(SimRadio& radio, std::uint16_t type,
                            std::span<const std::uint8_t> payload, std::size_t declared_len,
                            Clock now) {
    (void)now;
    payload = payload.first(std::min(payload.size(), declared_len));
    CommandOutcome out;
    switch (type) {
        case MSG_GET_DEVICE_INFO:
            out.send_report = true;
            out.registered_now = !radio.registered;
            radio.registered = true;
            return out;
        case MSG_SET_IP:
            if (payload.size() < kIpBlockSize) return {};
            out = Ack();
            out.address_changed = ApplyAddressBlock(radio, payload);
            return out;
        case MSG_SET_WIRELESS:
            return ApplyBlock(radio, payload, offsetof(ap_report_stu, rf_count), kWirelessBlockSize)
                       ? Ack()
                       : out;
        case MSG_SET_TIMED_REBOOT:
            return ApplyBlock(radio, payload, offsetof(ap_report_stu, restart_en),
                              kTimedRebootBlockSize)
                       ? Ack()
                       : out;
        case MSG_SET_NAME:
            return ApplyBlock(radio, payload, offsetof(ap_report_stu, ap_name), kNameBlockSize)
                       ? Ack()
                       : out;
        case MSG_SCAN_AP:
            out.send_scan = true;
            return out;
        case MSG_SET_BRIDGE:
            return OnSetBridge(radio, payload);
        case MSG_REBOOT:
            return OnRestart(radio, radio.results.reboot);
        case MSG_RESTORE:
            return OnRestart(radio, radio.results.restore);
        case MSG_UPGRADE:
            return OnUpgrade(radio, payload);
        case MSG_UPGRADE_STATUS:
            return OnUpgradeStatus(radio);
        case MSG_SET_VLAN:
            return OnVlan(radio, payload);
        case MSG_SET_TRANSPARENT_BRIDGE:
            return OnSwitch(radio, payload, false);
        case MSG_SET_TDMA:
            return OnSwitch(radio, payload, true);
        case MSG_RELEASE:
            radio.registered = false;
            out.released = true;
            return out;
        default:  // the controller's answers to announcements and keep-alives need nothing
            return out;
    }
}

void Reboot(SimRadio& radio, Clock now, bool factory) {
    radio.boot_ms = now;
    radio.uptime_base = 0;
    radio.registered = false;
    radio.phase = Phase::kOnline;
    ++radio.restarts;
    ++radio.generation;
    if (!factory) return;
    ap_report_stu& r = radio.report;
    r.vlan_en = 0;
    r.vlan_id = r.vlan_id_wlan = r.vlan_id_lan = r.vlan_pvid = r.vlan_id_lan3 = r.vlan_id_lan4 = 1;
    r.restart_en = 0;
    r.bridge_transparent = 0;
    r.tdmaEn = 0;
    r.bridge_work_mode = 0;
    std::memset(r.bridge_mac, 0, sizeof r.bridge_mac);
    r.bridge_ssid.Assign("");
    if (r.work_mode == 2) r.work_mode = 1;
}

std::vector<Datagram> ShapeAnswer(const SimRadio& radio, const Datagram& answer) {
    Datagram shaped = answer;
    if (radio.faults.wrong_answer && shaped.size() >= kHeaderSize) {
        shaped[4] = static_cast<std::uint8_t>(shaped[4] + 100);  // a type no command has
    }
    if (radio.faults.wrong_mac && shaped.size() >= kHeaderSize) shaped[13] ^= 0x5a;
    std::vector<Datagram> out;
    if (radio.faults.malformed) {
        out.emplace_back(shaped.begin(), shaped.begin() + std::min<std::size_t>(15, shaped.size()));
        Datagram swapped = shaped;
        std::swap(swapped[0], swapped[1]);
        out.push_back(std::move(swapped));
        Datagram lying = shaped;
        if (lying.size() >= kHeaderSize) {
            lying[14] = 0xff;  // claims far more payload than the datagram holds
            lying[15] = 0x05;
        }
        out.push_back(std::move(lying));
    }
    for (int i = 0; i <= std::max(0, radio.faults.duplicates); ++i) out.push_back(shaped);
    return out;
}

}  // namespace fk::sim
