// Devices for list-page tests: records with chosen address, name and model, saved
// through the store's own report path, and helpers that click where a user would.
#pragma once

#include <QHeaderView>
#include <QTest>
#include <string>

#include "protocol/packet.h"
#include "store/device_record.h"
#include "store/display_codes.h"
#include "store/sql_management.h"
#include "ui/device_grid.h"

namespace fk::test {

inline std::string TestMac(int n) {
    char text[18];
    std::snprintf(text, sizeof(text), "02:00:00:00:%02x:%02x", (n >> 8) & 0xff, n & 0xff);
    return text;
}

inline ap_info_stu TestDevice(int n, const std::string& ip, const std::string& name, int type = 3) {
    ap_info_stu r = ZeroRecord();
    r.SetMac(TestMac(n));
    r.ap_type = static_cast<std::uint16_t>(type);
    const auto octets = IpTextToOctets(ip);
    std::copy(octets.begin(), octets.end(), r.report.ip);
    const auto mask = IpTextToOctets("255.255.255.0");
    std::copy(mask.begin(), mask.end(), r.report.ip_mask);
    r.report.ap_name.Assign(name);
    r.report.version.Assign("2.0." + std::to_string(n));
    r.report.ssid.Assign("ssid-" + std::to_string(n));
    r.report.work_mode = WORK_MODE_AP;
    r.report.channel = static_cast<std::uint8_t>(n % 12);
    r.report.tx_power = 20;
    r.report.tx_power_min = 1;
    r.report.tx_power_max = 27;
    r.report.rf_count = r.report.rf_en = r.report.ssid_count = 1;
    r.report.expand_channel = 2;
    r.report.up_time = 3661;
    return r;
}

// n devices 198.18.0.(10+i), named "dev<i>".
inline void FillStore(CSqlManagement& store, int n) {
    for (int i = 0; i < n; ++i)
        store.SaveDeviceReport(
            TestDevice(i + 1, "198.18.0." + std::to_string(10 + i), "dev" + std::to_string(i)));
}

inline int RowOfMac(const CDeviceGrid& grid, int mac_column, const std::string& mac) {
    for (int r = 0; r < grid.rowCount(); ++r)
        if (grid.CellText(r, mac_column) == mac) return r;
    return -1;
}

inline std::vector<std::string> ColumnTexts(const CDeviceGrid& grid, int column) {
    std::vector<std::string> out;
    for (int r = 0; r < grid.rowCount(); ++r) out.push_back(grid.CellText(r, column));
    return out;
}

inline void ClickHeader(CDeviceGrid& grid, int column) {
    QHeaderView* header = grid.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

inline void ClickCell(CDeviceGrid& grid, int row, int column) {
    grid.scrollToItem(grid.item(row, column));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualItemRect(grid.item(row, column)).center());
}

}  // namespace fk::test
