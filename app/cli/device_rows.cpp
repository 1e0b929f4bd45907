#include "app/cli/device_rows.h"

#include "app/text_table.h"
#include "store/display_codes.h"

namespace fk::cli {
namespace {

constexpr std::array<const char*, kDeviceColumns> kCaptions = {
    "Status", "Model",  "IP",      "MAC",     "Operating mode",
    "Name",   "SSID",   "Channel", "Version", "Transparent bridge",
    "Slotra", "Uptime", "Network"};

// An announced device has no status name; its code is what tells it apart.
std::string StatusText(int code) {
    const std::string name = StatusName(code);
    return name.empty() ? std::to_string(code) : name;
}

TextRow Captions() {
    return {kCaptions.begin(), kCaptions.end()};
}

}  // namespace

DeviceRow MakeDeviceRow(const ap_info_stu& record, const std::string& unreachable) {
    const ap_report_stu& r = record.report;
    return {StatusText(record.ap_status),
            ModelName(record.ap_type),
            record.IpText(),
            record.MacText(),
            WorkModeName(r.work_mode),
            std::string(r.ap_name.View()),
            std::string(r.ssid.View()),
            ChannelText(r.channel),
            std::string(r.version.View()),
            TransparentBridgeText(record.ap_type, r.work_mode, r.bridge_transparent),
            TdmaText(record.ap_type, r.tdmaEn),
            UptimeText(r.up_time),
            unreachable};
}

std::string FormatDeviceRows(const std::vector<DeviceRow>& rows, ListFormat format) {
    std::vector<TextRow> cells;
    cells.reserve(rows.size());
    for (const auto& row : rows) cells.emplace_back(row.begin(), row.end());
    return FormatTextRows(Captions(), cells, format);
}

Json DeviceRowJson(const DeviceRow& row) {
    return JsonObject(Captions(), TextRow(row.begin(), row.end()));
}

}  // namespace fk::cli
