#include "app/cli/scan_rows.h"

#include "app/text_table.h"
#include "operations/survey_list.h"
#include "protocol/packet.h"

namespace fk::cli {

std::string ScanEntryJson(const config_otherwl_basic& entry) {
    const auto number = [](const char* key, int value) {
        return std::string(", \"") + key + "\": " + std::to_string(value);
    };
    return "{\"mac\": " + fk::JsonText(MacBytesToText(entry.mac)) +
           ", \"ssid\": " + fk::JsonText(std::string(entry.ssid.View())) +
           number("signal", entry.signal) + number("channel", entry.channel) +
           number("secure_mode", entry.secure_mode) + number("exchannel", entry.exchannel) +
           number("bandwidth", entry.bandwidth) + "}";
}

TextRow SurveyHeader() {
    return {"SSID", "Channel", "MAC", "Security", "Signal"};
}

std::vector<TextRow> SurveyTextRows(const std::vector<config_otherwl_basic>& entries) {
    std::vector<TextRow> rows;
    for (const SurveyRow& row : SurveyRows(entries))
        rows.push_back(
            {row.ssid, row.channel, row.mac, row.security, std::to_string(row.signal_dbm)});
    return rows;
}

}  // namespace fk::cli
