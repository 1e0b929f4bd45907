#include "app/cli/scan_rows.h"

#include "app/text_table.h"
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

}  // namespace fk::cli
