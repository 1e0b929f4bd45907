// How a device record and a site-survey entry map onto the columns of their tables.
// The same column lists build the tables, write the rows and read them back, so a
// column can never be written under one name and read under another.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "protocol/report.h"
#include "store/ado_database.h"
#include "store/device_record.h"

namespace fk {

enum class SqlType { Integer, Real, Text };

struct SqlColumn {
    const char* name;
    SqlType type;
};

// Columns of ap_info after ID, in table order.
enum ApCol : std::size_t {
    kMac,
    kApType,
    kApTypeStr,
    kApStatus,
    kApStatusStr,
    kWorkMode,
    kWorkModeStr,
    kModeBtnStatus,
    kUpTime,
    kUpTimeStr,
    kIpMode,
    kIpNum,
    kIp,
    kIpMask,
    kIpGateway,
    kIpDns1,
    kIpDns2,
    kApName,
    kVersion,
    kRestartEn,
    kRestartType,
    kRestartTime,
    kRfCount,
    kRfEn,
    kRfType,
    kCountryCode,
    kNetworkMode,
    kBandwidth,
    kChannel,
    kExpandChannel,
    kTxPower,
    kTxPowerMin,
    kTxPowerMax,
    kSsidCount,
    kSsidRfType,
    kSsidId,
    kSsidHide,
    kSsidMac,
    kSsid,
    kSecureMode,
    kSecureModeStr,
    kWpapskAuthType,
    kWpapskKeyValue,
    kWpapskKeyTime,
    kWepAuthType,
    kWepKeyIndex,
    kWepKeyValue0,
    kWepKeyType0,
    kWepKeyValue1,
    kWepKeyType1,
    kWepKeyValue2,
    kWepKeyType2,
    kWepKeyValue3,
    kWepKeyType3,
    kWpaAuthType,
    kWpaRadiusIp,
    kWpaRadiusPort,
    kWpaKey,
    kWpaKeyTime,
    kBridgeWorkMode,
    kBridgeMac,
    kBridgeChannel,
    kBridgeSsid,
    kVlanEn,
    kVlanId,
    kVlanIdWlan,
    kVlanIdLan,
    kBridgeTransparent,
    kBridgeTransparentStr,
    kTdmaEn,
    kTdmaEnStr,
    kVlanPvid,
    kVlanIdLan3,
    kVlanIdLan4,
    kApColCount
};
extern const std::array<SqlColumn, kApColCount> kApInfoColumns;

// Columns of ap_other_info after ID, in table order.
enum ScanCol : std::size_t {
    kScanPacketCount,
    kScanPacketId,
    kScanIcount,
    kScanMac,
    kScanSsid,
    kScanSignal,
    kScanChannel,
    kScanSecureMode,
    kScanExchannel,
    kScanBandwidth,
    kScanColCount
};
extern const std::array<SqlColumn, kScanColCount> kScanColumns;

// CREATE TABLE statement: an automatic integer key ID, then `columns`. STRICT makes
// the database refuse a value of the wrong kind instead of storing it silently.
template <std::size_t N>
std::string CreateTableSql(const char* table, const std::array<SqlColumn, N>& columns) {
    std::string sql = std::string("CREATE TABLE ") + table + "(ID INTEGER PRIMARY KEY";
    for (const SqlColumn& c : columns) {
        sql += std::string(",") + c.name;
        sql += c.type == SqlType::Integer ? " INTEGER"
               : c.type == SqlType::Real  ? " REAL"
                                          : " TEXT";
    }
    return sql + ") STRICT";
}

using DeviceRow = std::array<SqlValue, kApColCount>;
using ScanRow = std::array<SqlValue, kScanColCount>;

// Every value is computed here, outside the store lock: the display texts go through
// the language lookup, which is no database work.
DeviceRow DeviceRowValues(const ap_info_stu& record);
ScanRow ScanRowValues(const ScanResults& packet, const scan_entry_stu& entry);

void SetFieldFromValue(CADORecordset& rs, const char* column, const SqlValue& value);

// Writes a computed row through the cursor, which must be adding or editing.
template <std::size_t N>
void SetRowValues(CADORecordset& rs, const std::array<SqlColumn, N>& columns,
                  const std::array<SqlValue, N>& values) {
    for (std::size_t i = 0; i < N; ++i) SetFieldFromValue(rs, columns[i].name, values[i]);
}

// Result column of each table column, looked up once per query rather than per row.
template <std::size_t N>
std::array<int, N> ResolveColumns(const CADORecordset& rs,
                                  const std::array<SqlColumn, N>& columns) {
    std::array<int, N> at{};
    for (std::size_t i = 0; i < N; ++i) at[i] = rs.ColumnIndex(columns[i].name);
    return at;
}

ap_info_stu ReadDeviceRow(const CADORecordset& rs, const std::array<int, kApColCount>& at);
config_otherwl_basic ReadScanRow(const CADORecordset& rs, const std::array<int, kScanColCount>& at);

// Texts read back lose the blanks a fixed-width column may have added.
std::string_view TrimText(std::string_view text);

}  // namespace fk
