#include "store/sql_device_row.h"

#include <algorithm>

namespace fk {

SqlValue TextValue(std::string_view text) {
    return text.empty() ? SqlValue{} : SqlValue{std::string(text)};
}

SqlValue IpValue(const std::uint8_t* octets) {
    return TextValue(IpOctetsToText(octets));
}

SqlValue MacValue(const std::uint8_t* mac) {
    return TextValue(MacBytesToText(mac));
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

void ReadIpAt(const CADORecordset& rs, int column, std::uint8_t* octets) {
    const auto parsed = IpTextToOctets(TextAt(rs, column));
    std::copy(parsed.begin(), parsed.end(), octets);
}

void ReadMacAt(const CADORecordset& rs, int column, std::uint8_t* mac) {
    const auto parsed = MacTextToBytes(TextAt(rs, column));
    std::copy(parsed.begin(), parsed.end(), mac);
}

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

ScanRow ScanRowValues(const ScanResults& packet, const scan_entry_stu& entry) {
    return RowValues(kScanColumns,
                     scan_row_stu{packet.packet_count, packet.packet_id, packet.icount, entry});
}

// The bridge link fields and every report byte the store drops stay zero.
ap_info_stu ReadDeviceRow(const CADORecordset& rs,
                          const std::array<int, kApInfoColumns.size()>& at) {
    ap_info_stu record = ZeroRecord();
    ReadRowInto(rs, kApInfoColumns, at, record);
    return record;
}

config_otherwl_basic ReadScanRow(const CADORecordset& rs,
                                 const std::array<int, kScanColumns.size()>& at) {
    scan_row_stu row{};
    ReadRowInto(rs, kScanColumns, at, row);
    return row.entry;
}

}  // namespace fk
