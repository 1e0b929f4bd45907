#include "protocol/inbound_handlers.h"

#include <algorithm>
#include <cstring>

#include "protocol/report.h"
#include "store/sql_management.h"

namespace fk {

namespace {

bool IsZeroMac(const packet_head_stu& head) {
    return std::all_of(std::begin(head.mac), std::end(head.mac),
                       [](std::uint8_t b) { return b == 0; });
}

}  // namespace

int StatusForResult(std::uint16_t type, std::uint8_t result) {
    switch (type) {
        case MSG_SET_BRIDGE:
            return result == 0 ? STATUS_BRIDGE_SUCCESS : STATUS_BRIDGE_FAIL;
        case MSG_REBOOT:
        case MSG_SET_VLAN:
            return result == 0 ? STATUS_RESTARTING : -1;
        case MSG_RESTORE:
            return result == 0 ? STATUS_RESETING : -1;
        case MSG_UPGRADE_RESULT:
            if (result == 0) return STATUS_UPGRADE_WAIT;
            return result == 1 ? STATUS_UPGRADE_FAIL : STATUS_UPGRADE_SUCCESS;
        default:
            return -1;
    }
}

CInboundHandlers::CInboundHandlers(CPresenceTable& presence, CSqlManagement& store,
                                   IOutboundLink& link)
    : presence_(presence), store_(store), link_(link) {}

HandlerCounters CInboundHandlers::Counters() const {
    return {scan_unasked_.load(std::memory_order_relaxed),
            scan_short_.load(std::memory_order_relaxed)};
}

void CInboundHandlers::OnAnnouncement(const udp_packet_stu& element) {
    const packet_head_stu& head = element.head();
    const std::string ip = element.SourceIpText();
    const std::string mac = element.HeaderMacText();
    bool accepted = false;
    if (!IsZeroMac(head)) {
        Announcement a;
        a.ip = ip;
        a.mac = mac;
        a.ap_type = head.ap_type;
        a.long_form = head.len > kShortAnnouncementSize;
        a.hello = DecodeAnnouncement(element.payload(), head.len);
        accepted = presence_.Announce(a);
    }
    link_.SendToDevice(ip, MSG_DISCOVER, {}, mac, false);
    if (accepted) link_.SendToDevice(ip, MSG_GET_DEVICE_INFO, {}, mac, true);
}

void CInboundHandlers::OnKeepalive(const udp_packet_stu& element) {
    UptimeUpdate uptime;
    if (HandleKeepalive(element, uptime))
        store_.UpdateUptime(uptime.ip, uptime.mac, uptime.seconds);
}

bool CInboundHandlers::HandleKeepalive(const udp_packet_stu& element, UptimeUpdate& uptime) {
    uptime.ip = element.SourceIpText();
    uptime.mac = element.HeaderMacText();
    const keepalive_stu body = DecodeKeepalive(element.payload());
    uptime.seconds = body.up_time;
    if (!presence_.Keepalive(uptime.mac, uptime.ip, body)) return false;
    link_.SendToDevice(uptime.ip, MSG_KEEPALIVE, {}, uptime.mac, false);
    return true;
}

void CInboundHandlers::OnReply(const udp_packet_stu& element) {
    HandleReply(element);
    link_.AnswerHandled(element.SourceIpText(), element.HeaderMacText(), element.head().type,
                        element.payload()[0]);
}

void CInboundHandlers::HandleReply(const udp_packet_stu& element) {
    const std::uint16_t type = element.head().type;
    const std::string mac = element.HeaderMacText();
    // Scan results come in several packets for one request that is never repeated,
    // and nobody answers a release.
    if (type != MSG_SCAN_AP && type != MSG_RELEASE) {
        link_.Acknowledge(element.SourceIpText(), mac, type);
    }
    switch (type) {
        case MSG_GET_DEVICE_INFO:
            OnDeviceReport(element);
            return;
        case MSG_SET_IP:
            presence_.CommitPendingIp(mac, element.SourceIpText());
            return;
        case MSG_SCAN_AP:
            OnScanResults(element);
            return;
        case MSG_UPGRADE_STATUS:
            store_.MarkUpgrading(mac);
            return;
        default:
            break;
    }
    const int status = StatusForResult(type, element.payload()[0]);
    if (status >= 0) store_.SetStatus(mac, status);
}

void CInboundHandlers::OnDeviceReport(const udp_packet_stu& element) {
    const packet_head_stu& head = element.head();
    const std::string mac = element.HeaderMacText();
    ap_info_stu record = ZeroRecord();
    record.report = DecodeReport(element.payload());
    if (!presence_.AcceptReport(mac, head.ap_type, record.report)) return;
    record.SetMac(mac);
    record.ap_type = head.ap_type;
    record.ap_status = 0;
    ConvertFieldToLocal(record.report.ap_name);
    ConvertFieldToLocal(record.report.ssid);
    ConvertFieldToLocal(record.report.bridge_ssid);
    store_.SaveDeviceReport(record);
}

void CInboundHandlers::OnScanResults(const udp_packet_stu& element) {
    if (!link_.SurveyExpected(element.SourceIpText(), element.HeaderMacText())) {
        scan_unasked_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    // The area behind the datagram is zero-filled: read from it, a packet that claims
    // more entries than it carries would add access points of MAC 00:00:00:00:00:00.
    const ScanResults results = DecodeScanResults(element.ReceivedPayload());
    if (results.entries.size() < results.icount) {
        scan_short_.fetch_add(1, std::memory_order_relaxed);
    }
    // Stored first: whoever sees the survey complete reads the table at once.
    store_.SaveScanResults(results);
    link_.ScanPacketStored(results.packet_id, results.packet_count);
}

}  // namespace fk
