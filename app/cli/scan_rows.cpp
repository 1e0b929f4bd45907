#include "app/cli/scan_rows.h"

#include "app/text_table.h"
#include "operations/survey_list.h"
#include "protocol/packet.h"

namespace fk::cli {

Json ScanEntryJson(const config_otherwl_basic& entry) {
    return {{"mac", MacBytesToText(entry.mac)},      {"ssid", std::string(entry.ssid.View())},
            {"signal", int{entry.signal}},           {"channel", int{entry.channel}},
            {"secure_mode", int{entry.secure_mode}}, {"exchannel", int{entry.exchannel}},
            {"bandwidth", int{entry.bandwidth}}};
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
