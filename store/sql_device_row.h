// How a device record and a site-survey entry map onto the columns of their tables.
// Each table is one list of columns, and the create statement, the row written and
// the record read back are all derived from it, so a column can never be written
// under one name and read under another, or added to one step and not the others.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/packet.h"
#include "protocol/report.h"
#include "store/ado_database.h"
#include "store/device_record.h"
#include "store/display_codes.h"
#include "store/sql_management.h"

namespace fk {

enum class SqlType { Integer, Real, Text };

// One column: its name and type, the value a row gets from the record and how the
// record gets it back. `read` is null for the columns kept only for showing, sorting
// and searching, and for the bridge link, which a record read back never carries.
template <typename Record>
struct SqlColumn {
    const char* name;
    SqlType type;
    SqlValue (*write)(const Record&);
    void (*read)(const CADORecordset& rs, int column, Record& record);
};

// One ap_other_info row: a scan entry and the head of the packet that carried it.
struct scan_row_stu {
    std::uint8_t packet_count;
    std::uint8_t packet_id;
    std::uint8_t icount;
    scan_entry_stu entry;
};

// The pieces the columns are made of. Empty text is written as NULL, as the cursor
// writes it; texts read back lose the blanks a fixed-width column may have added.
SqlValue TextValue(std::string_view text);
SqlValue IpValue(const std::uint8_t* octets);
SqlValue MacValue(const std::uint8_t* mac);
int IntAt(const CADORecordset& rs, int column);
std::string TextAt(const CADORecordset& rs, int column);
void ReadIpAt(const CADORecordset& rs, int column, std::uint8_t* octets);
void ReadMacAt(const CADORecordset& rs, int column, std::uint8_t* mac);

// Column makers over one record field. The field is named as an expression so that
// packed multi-byte fields are read and written in place, never through a reference.
#define FK_COLUMN_NUMBER(column, field)                                                            \
    {                                                                                              \
        column, SqlType::Integer, [](const auto& r) -> SqlValue { return std::int64_t{r.field}; }, \
            [](const CADORecordset& rs, int c, auto& r) {                                          \
                r.field = static_cast<decltype(r.field)>(IntAt(rs, c));                            \
            }                                                                                      \
    }
#define FK_COLUMN_TEXT(column, field)                                                      \
    {                                                                                      \
        column, SqlType::Text, [](const auto& r) { return TextValue(r.field.View()); },    \
            [](const CADORecordset& rs, int c, auto& r) { r.field.Assign(TextAt(rs, c)); } \
    }
#define FK_COLUMN_IP(column, field)                                                   \
    {                                                                                 \
        column, SqlType::Text, [](const auto& r) { return IpValue(r.field); },        \
            [](const CADORecordset& rs, int c, auto& r) { ReadIpAt(rs, c, r.field); } \
    }
#define FK_COLUMN_MAC(column, field)                                                   \
    {                                                                                  \
        column, SqlType::Text, [](const auto& r) { return MacValue(r.field); },        \
            [](const CADORecordset& rs, int c, auto& r) { ReadMacAt(rs, c, r.field); } \
    }
#define FK_COLUMN_WRITTEN(column, type, value)                                                  \
    {                                                                                           \
        column, type, []([[maybe_unused]] const auto& r) -> SqlValue { return value; }, nullptr \
    }
#define FK_COLUMN_WEP_KEY(k)                                     \
    FK_COLUMN_TEXT("wep_key_value" #k, report.wep_key[k].value), \
        FK_COLUMN_NUMBER("wep_key_type" #k, report.wep_key[k].type)

// ap_info after its key ID, in table order.
inline constexpr auto kApInfoColumns = std::to_array<SqlColumn<ap_info_stu>>({
    {"mac", SqlType::Text, [](const ap_info_stu& r) { return TextValue(r.MacText()); },
     [](const CADORecordset& rs, int c, ap_info_stu& r) { r.SetMac(TextAt(rs, c)); }},
    FK_COLUMN_NUMBER("ap_type", ap_type),
    FK_COLUMN_WRITTEN("ap_type_str", SqlType::Text, TextValue(ModelName(r.ap_type))),
    // A device that reports is online, whatever status the record came with.
    {"ap_status", SqlType::Integer,
     [](const ap_info_stu&) -> SqlValue { return std::int64_t{STATUS_ONLINE}; },
     [](const CADORecordset& rs, int c, ap_info_stu& r) { r.ap_status = IntAt(rs, c); }},
    FK_COLUMN_WRITTEN("ap_status_str", SqlType::Text, TextValue(StatusName(STATUS_ONLINE))),
    FK_COLUMN_NUMBER("work_mode", report.work_mode),
    FK_COLUMN_WRITTEN("work_mode_str", SqlType::Text, TextValue(WorkModeName(r.report.work_mode))),
    FK_COLUMN_NUMBER("mode_btn_status", report.mode_btn_status),
    FK_COLUMN_NUMBER("up_time", report.up_time),
    FK_COLUMN_WRITTEN("up_time_str", SqlType::Text, TextValue(UptimeText(r.report.up_time))),
    FK_COLUMN_NUMBER("ip_mode", report.ip_mode),
    FK_COLUMN_WRITTEN("ip_num", SqlType::Real, std::int64_t{IpNumber(IpOctetsToText(r.report.ip))}),
    FK_COLUMN_IP("ip", report.ip),
    FK_COLUMN_IP("ip_mask", report.ip_mask),
    FK_COLUMN_IP("ip_gateway", report.ip_gateway),
    FK_COLUMN_IP("ip_dns1", report.ip_dns1),
    FK_COLUMN_IP("ip_dns2", report.ip_dns2),
    FK_COLUMN_TEXT("ap_name", report.ap_name),
    FK_COLUMN_TEXT("version", report.version),
    FK_COLUMN_NUMBER("restart_en", report.restart_en),
    FK_COLUMN_NUMBER("restart_type", report.restart_type),
    FK_COLUMN_NUMBER("restart_time", report.restart_time),
    FK_COLUMN_NUMBER("rf_count", report.rf_count),
    FK_COLUMN_NUMBER("rf_en", report.rf_en),
    FK_COLUMN_NUMBER("rf_type", report.rf_type),
    FK_COLUMN_NUMBER("country_code", report.country_code),
    FK_COLUMN_NUMBER("network_mode", report.network_mode),
    FK_COLUMN_NUMBER("bandwidth", report.bandwidth),
    FK_COLUMN_NUMBER("channel", report.channel),
    FK_COLUMN_NUMBER("expand_channel", report.expand_channel),
    FK_COLUMN_NUMBER("tx_power", report.tx_power),
    FK_COLUMN_NUMBER("tx_power_min", report.tx_power_min),
    FK_COLUMN_NUMBER("tx_power_max", report.tx_power_max),
    FK_COLUMN_NUMBER("ssid_count", report.ssid_count),
    FK_COLUMN_NUMBER("ssid_rf_type", report.ssid_rf_type),
    FK_COLUMN_NUMBER("ssid_id", report.ssid_id),
    FK_COLUMN_NUMBER("ssid_hide", report.ssid_hide),
    FK_COLUMN_MAC("ssid_mac", report.ssid_mac),
    FK_COLUMN_TEXT("ssid", report.ssid),
    FK_COLUMN_NUMBER("secure_mode", report.secure_mode),
    FK_COLUMN_WRITTEN("secure_mode_str", SqlType::Text,
                      TextValue(SecurityName(r.report.secure_mode))),
    FK_COLUMN_NUMBER("wpapsk_auth_type", report.wpapsk_auth_type),
    FK_COLUMN_TEXT("wpapsk_key_value", report.wpapsk_key_value),
    FK_COLUMN_NUMBER("wpapsk_key_time", report.wpapsk_key_time),
    FK_COLUMN_NUMBER("wep_auth_type", report.wep_auth_type),
    FK_COLUMN_NUMBER("wep_key_index", report.wep_key_index),
    FK_COLUMN_WEP_KEY(0),
    FK_COLUMN_WEP_KEY(1),
    FK_COLUMN_WEP_KEY(2),
    FK_COLUMN_WEP_KEY(3),
    FK_COLUMN_NUMBER("wpa_auth_type", report.wpa_auth_type),
    FK_COLUMN_IP("wpa_radius_ip", report.wpa_radius_ip),
    FK_COLUMN_NUMBER("wpa_radius_port", report.wpa_radius_port),
    FK_COLUMN_TEXT("wpa_key", report.wpa_key),
    FK_COLUMN_NUMBER("wpa_key_time", report.wpa_key_time),
    FK_COLUMN_WRITTEN("bridge_work_mode", SqlType::Integer,
                      std::int64_t{r.report.bridge_work_mode}),
    FK_COLUMN_WRITTEN("bridge_mac", SqlType::Text, MacValue(r.report.bridge_mac)),
    FK_COLUMN_WRITTEN("bridge_channel", SqlType::Integer, std::int64_t{r.report.bridge_channel}),
    FK_COLUMN_WRITTEN("bridge_ssid", SqlType::Text, TextValue(r.report.bridge_ssid.View())),
    FK_COLUMN_NUMBER("vlan_en", report.vlan_en),
    FK_COLUMN_NUMBER("vlan_id", report.vlan_id),
    FK_COLUMN_NUMBER("vlan_id_wlan", report.vlan_id_wlan),
    FK_COLUMN_NUMBER("vlan_id_lan", report.vlan_id_lan),
    FK_COLUMN_NUMBER("bridge_transparent", report.bridge_transparent),
    FK_COLUMN_WRITTEN("bridge_transparent_str", SqlType::Text,
                      TextValue(TransparentBridgeText(r.ap_type, r.report.work_mode,
                                                      r.report.bridge_transparent))),
    FK_COLUMN_NUMBER("tdmaEn", report.tdmaEn),
    FK_COLUMN_WRITTEN("tdmaEn_str", SqlType::Text, TextValue(TdmaText(r.ap_type, r.report.tdmaEn))),
    FK_COLUMN_NUMBER("vlan_pvid", report.vlan_pvid),
    FK_COLUMN_NUMBER("vlan_id_lan3", report.vlan_id_lan3),
    FK_COLUMN_NUMBER("vlan_id_lan4", report.vlan_id_lan4),
});

// ap_other_info after its key ID, in table order. The packet head is kept with every
// entry but never read back: an entry is the same access point whichever packet
// carried it.
inline constexpr auto kScanColumns = std::to_array<SqlColumn<scan_row_stu>>({
    FK_COLUMN_WRITTEN("packet_count", SqlType::Integer, std::int64_t{r.packet_count}),
    FK_COLUMN_WRITTEN("packet_id", SqlType::Integer, std::int64_t{r.packet_id}),
    FK_COLUMN_WRITTEN("icount", SqlType::Integer, std::int64_t{r.icount}),
    FK_COLUMN_MAC("mac", entry.mac),
    FK_COLUMN_TEXT("ssid", entry.ssid),
    FK_COLUMN_NUMBER("signal", entry.signal),
    FK_COLUMN_NUMBER("channel", entry.channel),
    FK_COLUMN_NUMBER("secure_mode", entry.secure_mode),
    FK_COLUMN_NUMBER("exchannel", entry.exchannel),
    FK_COLUMN_NUMBER("bandwidth", entry.bandwidth),
});

#undef FK_COLUMN_NUMBER
#undef FK_COLUMN_TEXT
#undef FK_COLUMN_IP
#undef FK_COLUMN_MAC
#undef FK_COLUMN_WRITTEN
#undef FK_COLUMN_WEP_KEY

template <typename Record, std::size_t N>
constexpr bool HasColumn(const std::array<SqlColumn<Record>, N>& columns, std::string_view name) {
    for (const auto& c : columns) {
        if (name == c.name) return true;
    }
    return false;
}

// The position of a column, found while compiling: a name the table does not hold
// is a compile error, not a query that silently reads nothing.
template <typename Record, std::size_t N>
consteval std::size_t ColumnAt(const std::array<SqlColumn<Record>, N>& columns,
                               std::string_view name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (name == columns[i].name) return i;
    }
    throw "no such column";
}

// CREATE TABLE statement: an automatic integer key ID, then `columns`. STRICT makes
// the database refuse a value of the wrong kind instead of storing it silently.
template <typename Record, std::size_t N>
std::string CreateTableSql(const char* table, const std::array<SqlColumn<Record>, N>& columns) {
    std::string sql = std::string("CREATE TABLE ") + table + "(ID INTEGER PRIMARY KEY";
    for (const auto& c : columns) {
        sql += std::string(",") + c.name;
        sql += c.type == SqlType::Integer ? " INTEGER"
               : c.type == SqlType::Real  ? " REAL"
                                          : " TEXT";
    }
    return sql + ") STRICT";
}

using DeviceRow = std::array<SqlValue, kApInfoColumns.size()>;
using ScanRow = std::array<SqlValue, kScanColumns.size()>;

// Every value is computed before the store lock is taken: the display texts go
// through the language lookup, which is no database work.
template <typename Record, std::size_t N>
std::array<SqlValue, N> RowValues(const std::array<SqlColumn<Record>, N>& columns,
                                  const Record& record) {
    std::array<SqlValue, N> values;
    for (std::size_t i = 0; i < N; ++i) values[i] = columns[i].write(record);
    return values;
}

inline DeviceRow DeviceRowValues(const ap_info_stu& record) {
    return RowValues(kApInfoColumns, record);
}
ScanRow ScanRowValues(const ScanResults& packet, const scan_entry_stu& entry);

void SetFieldFromValue(CADORecordset& rs, const char* column, const SqlValue& value);

// Writes a computed row through the cursor, which must be adding or editing.
template <typename Record, std::size_t N>
void SetRowValues(CADORecordset& rs, const std::array<SqlColumn<Record>, N>& columns,
                  const std::array<SqlValue, N>& values) {
    for (std::size_t i = 0; i < N; ++i) SetFieldFromValue(rs, columns[i].name, values[i]);
}

// Result column of each table column, looked up once per query rather than per row.
template <typename Record, std::size_t N>
std::array<int, N> ResolveColumns(const CADORecordset& rs,
                                  const std::array<SqlColumn<Record>, N>& columns) {
    std::array<int, N> at{};
    for (std::size_t i = 0; i < N; ++i) at[i] = rs.ColumnIndex(columns[i].name);
    return at;
}

// Only what the store keeps is read back; every other byte of `record` stays as given.
template <typename Record, std::size_t N>
void ReadRowInto(const CADORecordset& rs, const std::array<SqlColumn<Record>, N>& columns,
                 const std::array<int, N>& at, Record& record) {
    for (std::size_t i = 0; i < N; ++i) {
        if (columns[i].read) columns[i].read(rs, at[i], record);
    }
}

ap_info_stu ReadDeviceRow(const CADORecordset& rs,
                          const std::array<int, kApInfoColumns.size()>& at);
config_otherwl_basic ReadScanRow(const CADORecordset& rs,
                                 const std::array<int, kScanColumns.size()>& at);

std::string_view TrimText(std::string_view text);

}  // namespace fk
