#include "store/sql_device_row.h"

#include "protocol/packet.h"
#include "store/display_codes.h"
#include "store/sql_management.h"

namespace fk {
namespace {

constexpr SqlType I = SqlType::Integer;
constexpr SqlType T = SqlType::Text;

SqlValue Num(std::int64_t n) {
    return n;
}
SqlValue Text(std::string_view s) {
    return s.empty() ? SqlValue{} : SqlValue{std::string(s)};
}

int IntAt(const CADORecordset& rs, int column) {
    int value = 0;
    return rs.GetFieldValue(column, value) ? value : 0;
}

std::string TextAt(const CADORecordset& rs, int column) {
    std::string value;
    if (!rs.GetFieldValue(column, value)) return {};
    return std::string(TrimText(value));
}

void ReadIp(const CADORecordset& rs, int column, std::uint8_t* out) {
    const auto octets = IpTextToOctets(TextAt(rs, column));
    std::copy(octets.begin(), octets.end(), out);
}

template <std::size_t N>
void ReadText(const CADORecordset& rs, int column, fixed_text<N>& field) {
    field.Assign(TextAt(rs, column));
}

}  // namespace

const std::array<SqlColumn, kApColCount> kApInfoColumns = {{
    {"mac", T},
    {"ap_type", I},
    {"ap_type_str", T},
    {"ap_status", I},
    {"ap_status_str", T},
    {"work_mode", I},
    {"work_mode_str", T},
    {"mode_btn_status", I},
    {"up_time", I},
    {"up_time_str", T},
    {"ip_mode", I},
    {"ip_num", SqlType::Real},
    {"ip", T},
    {"ip_mask", T},
    {"ip_gateway", T},
    {"ip_dns1", T},
    {"ip_dns2", T},
    {"ap_name", T},
    {"version", T},
    {"restart_en", I},
    {"restart_type", I},
    {"restart_time", I},
    {"rf_count", I},
    {"rf_en", I},
    {"rf_type", I},
    {"country_code", I},
    {"network_mode", I},
    {"bandwidth", I},
    {"channel", I},
    {"expand_channel", I},
    {"tx_power", I},
    {"tx_power_min", I},
    {"tx_power_max", I},
    {"ssid_count", I},
    {"ssid_rf_type", I},
    {"ssid_id", I},
    {"ssid_hide", I},
    {"ssid_mac", T},
    {"ssid", T},
    {"secure_mode", I},
    {"secure_mode_str", T},
    {"wpapsk_auth_type", I},
    {"wpapsk_key_value", T},
    {"wpapsk_key_time", I},
    {"wep_auth_type", I},
    {"wep_key_index", I},
    {"wep_key_value0", T},
    {"wep_key_type0", I},
    {"wep_key_value1", T},
    {"wep_key_type1", I},
    {"wep_key_value2", T},
    {"wep_key_type2", I},
    {"wep_key_value3", T},
    {"wep_key_type3", I},
    {"wpa_auth_type", I},
    {"wpa_radius_ip", T},
    {"wpa_radius_port", I},
    {"wpa_key", T},
    {"wpa_key_time", I},
    {"bridge_work_mode", I},
    {"bridge_mac", T},
    {"bridge_channel", I},
    {"bridge_ssid", T},
    {"vlan_en", I},
    {"vlan_id", I},
    {"vlan_id_wlan", I},
    {"vlan_id_lan", I},
    {"bridge_transparent", I},
    {"bridge_transparent_str", T},
    {"tdmaEn", I},
    {"tdmaEn_str", T},
    {"vlan_pvid", I},
    {"vlan_id_lan3", I},
    {"vlan_id_lan4", I},
}};

const std::array<SqlColumn, kScanColCount> kScanColumns = {{
    {"packet_count", I},
    {"packet_id", I},
    {"icount", I},
    {"mac", T},
    {"ssid", T},
    {"signal", I},
    {"channel", I},
    {"secure_mode", I},
    {"exchannel", I},
    {"bandwidth", I},
}};

std::uint32_t IpNumber(std::string_view ip_text) {
    const auto o = IpTextToOctets(ip_text);
    return static_cast<std::uint32_t>(o[0]) | static_cast<std::uint32_t>(o[1]) << 8 |
           static_cast<std::uint32_t>(o[2]) << 16 | static_cast<std::uint32_t>(o[3]) << 24;
}

std::string_view TrimText(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n\v\f");
    return text.substr(first, last - first + 1);
}

void SetFieldFromValue(CADORecordset& rs, const char* column, const SqlValue& value) {
    if (const auto* n = std::get_if<std::int64_t>(&value)) {
        // Negative values are signed codes (a status); every other number the store
        // writes is an unsigned field of the record.
        if (*n < 0) {
            rs.SetFieldValue(column, static_cast<long>(*n));
        } else {
            rs.SetFieldValue(column, static_cast<unsigned long>(*n));
        }
    } else if (const auto* s = std::get_if<std::string>(&value)) {
        rs.SetFieldValue(column, std::string_view(*s));
    } else {
        rs.SetFieldValue(column, std::string_view());
    }
}

DeviceRow DeviceRowValues(const ap_info_stu& record) {
    const ap_report_stu& p = record.report;
    const std::string ip = IpOctetsToText(p.ip);
    DeviceRow v;
    v[kMac] = Text(record.MacText());
    v[kApType] = Num(record.ap_type);
    v[kApTypeStr] = Text(ModelName(record.ap_type));
    v[kApStatus] = Num(STATUS_ONLINE);
    v[kApStatusStr] = Text(StatusName(STATUS_ONLINE));
    v[kWorkMode] = Num(p.work_mode);
    v[kWorkModeStr] = Text(WorkModeName(p.work_mode));
    v[kModeBtnStatus] = Num(p.mode_btn_status);
    v[kUpTime] = Num(p.up_time);
    v[kUpTimeStr] = Text(UptimeText(p.up_time));
    v[kIpMode] = Num(p.ip_mode);
    v[kIpNum] = Num(IpNumber(ip));
    v[kIp] = Text(ip);
    v[kIpMask] = Text(IpOctetsToText(p.ip_mask));
    v[kIpGateway] = Text(IpOctetsToText(p.ip_gateway));
    v[kIpDns1] = Text(IpOctetsToText(p.ip_dns1));
    v[kIpDns2] = Text(IpOctetsToText(p.ip_dns2));
    v[kApName] = Text(p.ap_name.View());
    v[kVersion] = Text(p.version.View());
    v[kRestartEn] = Num(p.restart_en);
    v[kRestartType] = Num(p.restart_type);
    v[kRestartTime] = Num(p.restart_time);
    v[kRfCount] = Num(p.rf_count);
    v[kRfEn] = Num(p.rf_en);
    v[kRfType] = Num(p.rf_type);
    v[kCountryCode] = Num(p.country_code);
    v[kNetworkMode] = Num(p.network_mode);
    v[kBandwidth] = Num(p.bandwidth);
    v[kChannel] = Num(p.channel);
    v[kExpandChannel] = Num(p.expand_channel);
    v[kTxPower] = Num(p.tx_power);
    v[kTxPowerMin] = Num(p.tx_power_min);
    v[kTxPowerMax] = Num(p.tx_power_max);
    v[kSsidCount] = Num(p.ssid_count);
    v[kSsidRfType] = Num(p.ssid_rf_type);
    v[kSsidId] = Num(p.ssid_id);
    v[kSsidHide] = Num(p.ssid_hide);
    v[kSsidMac] = Text(MacBytesToText(p.ssid_mac));
    v[kSsid] = Text(p.ssid.View());
    v[kSecureMode] = Num(p.secure_mode);
    v[kSecureModeStr] = Text(SecurityName(p.secure_mode));
    v[kWpapskAuthType] = Num(p.wpapsk_auth_type);
    v[kWpapskKeyValue] = Text(p.wpapsk_key_value.View());
    v[kWpapskKeyTime] = Num(p.wpapsk_key_time);
    v[kWepAuthType] = Num(p.wep_auth_type);
    v[kWepKeyIndex] = Num(p.wep_key_index);
    for (std::size_t k = 0; k < 4; ++k) {
        v[kWepKeyValue0 + 2 * k] = Text(p.wep_key[k].value.View());
        v[kWepKeyType0 + 2 * k] = Num(p.wep_key[k].type);
    }
    v[kWpaAuthType] = Num(p.wpa_auth_type);
    v[kWpaRadiusIp] = Text(IpOctetsToText(p.wpa_radius_ip));
    v[kWpaRadiusPort] = Num(p.wpa_radius_port);
    v[kWpaKey] = Text(p.wpa_key.View());
    v[kWpaKeyTime] = Num(p.wpa_key_time);
    v[kBridgeWorkMode] = Num(p.bridge_work_mode);
    v[kBridgeMac] = Text(MacBytesToText(p.bridge_mac));
    v[kBridgeChannel] = Num(p.bridge_channel);
    v[kBridgeSsid] = Text(p.bridge_ssid.View());
    v[kVlanEn] = Num(p.vlan_en);
    v[kVlanId] = Num(p.vlan_id);
    v[kVlanIdWlan] = Num(p.vlan_id_wlan);
    v[kVlanIdLan] = Num(p.vlan_id_lan);
    v[kBridgeTransparent] = Num(p.bridge_transparent);
    v[kBridgeTransparentStr] =
        Text(TransparentBridgeText(record.ap_type, p.work_mode, p.bridge_transparent));
    v[kTdmaEn] = Num(p.tdmaEn);
    v[kTdmaEnStr] = Text(TdmaText(record.ap_type, p.tdmaEn));
    v[kVlanPvid] = Num(p.vlan_pvid);
    v[kVlanIdLan3] = Num(p.vlan_id_lan3);
    v[kVlanIdLan4] = Num(p.vlan_id_lan4);
    return v;
}

ScanRow ScanRowValues(const ScanResults& packet, const scan_entry_stu& entry) {
    ScanRow v;
    v[kScanPacketCount] = Num(packet.packet_count);
    v[kScanPacketId] = Num(packet.packet_id);
    v[kScanIcount] = Num(packet.icount);
    v[kScanMac] = Text(MacBytesToText(entry.mac));
    v[kScanSsid] = Text(entry.ssid.View());
    v[kScanSignal] = Num(entry.signal);
    v[kScanChannel] = Num(entry.channel);
    v[kScanSecureMode] = Num(entry.secure_mode);
    v[kScanExchannel] = Num(entry.exchannel);
    v[kScanBandwidth] = Num(entry.bandwidth);
    return v;
}

// Only what the store keeps is read back; the bridge link fields and every report
// byte the store drops stay zero.
ap_info_stu ReadDeviceRow(const CADORecordset& rs, const std::array<int, kApColCount>& at) {
    ap_info_stu r = ZeroRecord();
    ap_report_stu& p = r.report;
    const auto u8 = [&](ApCol c) { return static_cast<std::uint8_t>(IntAt(rs, at[c])); };
    const auto u16 = [&](ApCol c) { return static_cast<std::uint16_t>(IntAt(rs, at[c])); };
    const auto u32 = [&](ApCol c) { return static_cast<std::uint32_t>(IntAt(rs, at[c])); };
    r.SetMac(TextAt(rs, at[kMac]));
    r.ap_type = u16(kApType);
    r.ap_status = IntAt(rs, at[kApStatus]);
    p.work_mode = u8(kWorkMode);
    p.mode_btn_status = u8(kModeBtnStatus);
    p.up_time = u32(kUpTime);
    p.ip_mode = u8(kIpMode);
    ReadIp(rs, at[kIp], p.ip);
    ReadIp(rs, at[kIpMask], p.ip_mask);
    ReadIp(rs, at[kIpGateway], p.ip_gateway);
    ReadIp(rs, at[kIpDns1], p.ip_dns1);
    ReadIp(rs, at[kIpDns2], p.ip_dns2);
    ReadText(rs, at[kApName], p.ap_name);
    ReadText(rs, at[kVersion], p.version);
    p.restart_en = u8(kRestartEn);
    p.restart_type = u8(kRestartType);
    p.restart_time = u16(kRestartTime);
    p.rf_count = u8(kRfCount);
    p.rf_en = u8(kRfEn);
    p.rf_type = u8(kRfType);
    p.country_code = u8(kCountryCode);
    p.network_mode = u8(kNetworkMode);
    p.bandwidth = u8(kBandwidth);
    p.channel = u8(kChannel);
    p.expand_channel = u8(kExpandChannel);
    p.tx_power = u8(kTxPower);
    p.tx_power_min = u8(kTxPowerMin);
    p.tx_power_max = u8(kTxPowerMax);
    p.ssid_count = u8(kSsidCount);
    p.ssid_rf_type = u8(kSsidRfType);
    p.ssid_id = u8(kSsidId);
    p.ssid_hide = u8(kSsidHide);
    const auto ssid_mac = MacTextToBytes(TextAt(rs, at[kSsidMac]));
    std::copy(ssid_mac.begin(), ssid_mac.end(), p.ssid_mac);
    ReadText(rs, at[kSsid], p.ssid);
    p.secure_mode = u8(kSecureMode);
    p.wpapsk_auth_type = u8(kWpapskAuthType);
    ReadText(rs, at[kWpapskKeyValue], p.wpapsk_key_value);
    p.wpapsk_key_time = u32(kWpapskKeyTime);
    p.wep_auth_type = u8(kWepAuthType);
    p.wep_key_index = u8(kWepKeyIndex);
    for (std::size_t k = 0; k < 4; ++k) {
        ReadText(rs, at[kWepKeyValue0 + 2 * k], p.wep_key[k].value);
        p.wep_key[k].type = u8(static_cast<ApCol>(kWepKeyType0 + 2 * k));
    }
    p.wpa_auth_type = u8(kWpaAuthType);
    ReadIp(rs, at[kWpaRadiusIp], p.wpa_radius_ip);
    p.wpa_radius_port = u16(kWpaRadiusPort);
    ReadText(rs, at[kWpaKey], p.wpa_key);
    p.wpa_key_time = u32(kWpaKeyTime);
    p.vlan_en = u8(kVlanEn);
    p.vlan_id = u16(kVlanId);
    p.vlan_id_wlan = u16(kVlanIdWlan);
    p.vlan_id_lan = u16(kVlanIdLan);
    p.bridge_transparent = u8(kBridgeTransparent);
    p.tdmaEn = u8(kTdmaEn);
    p.vlan_pvid = u16(kVlanPvid);
    p.vlan_id_lan3 = u16(kVlanIdLan3);
    p.vlan_id_lan4 = u16(kVlanIdLan4);
    return r;
}

config_otherwl_basic ReadScanRow(const CADORecordset& rs,
                                 const std::array<int, kScanColCount>& at) {
    config_otherwl_basic e{};
    const auto mac = MacTextToBytes(TextAt(rs, at[kScanMac]));
    std::copy(mac.begin(), mac.end(), e.mac);
    ReadText(rs, at[kScanSsid], e.ssid);
    short value = 0;
    const auto byte = [&](ScanCol c) {
        value = 0;
        rs.GetFieldValue(at[c], value);
        return static_cast<std::uint8_t>(value);
    };
    e.signal = static_cast<std::int8_t>(byte(kScanSignal));
    e.channel = byte(kScanChannel);
    e.secure_mode = byte(kScanSecureMode);
    e.exchannel = byte(kScanExchannel);
    e.bandwidth = byte(kScanBandwidth);
    return e;
}

}  // namespace fk
