// Devices as the status page lists them, as rows of text for the command line:
// status, model, address, MAC, operating mode, name, SSID, channel, version, the two
// switches and the uptime, in the texts the desktop shows, and last why the PC cannot
// reach the device (empty when it can).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/text_table.h"
#include "store/device_record.h"

namespace fk::cli {

inline constexpr std::size_t kDeviceColumns = 13;
using DeviceRow = std::array<std::string, kDeviceColumns>;

using ListFormat = TextTableFormat;

DeviceRow MakeDeviceRow(const ap_info_stu& record, const std::string& unreachable = {});
std::string FormatDeviceRows(const std::vector<DeviceRow>& rows, ListFormat format);
// One row as a JSON object keyed by the column captions.
Json DeviceRowJson(const DeviceRow& row);

}  // namespace fk::cli
