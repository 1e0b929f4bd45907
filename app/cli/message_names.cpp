#include "app/cli/message_names.h"

#include <utility>

#include "protocol/packet.h"

namespace fk::cli {

std::string MessageTypeName(int type) {
    static const std::pair<int, const char*> kNames[] = {
        {MSG_DISCOVER, "MSG_DISCOVER"},
        {MSG_GET_DEVICE_INFO, "MSG_GET_DEVICE_INFO"},
        {MSG_SET_IP, "MSG_SET_IP"},
        {MSG_SET_WIRELESS, "MSG_SET_WIRELESS"},
        {MSG_SET_TIMED_REBOOT, "MSG_SET_TIMED_REBOOT"},
        {MSG_SCAN_AP, "MSG_SCAN_AP"},
        {MSG_SET_BRIDGE, "MSG_SET_BRIDGE"},
        {MSG_SET_NAME, "MSG_SET_NAME"},
        {MSG_REBOOT, "MSG_REBOOT"},
        {MSG_RESTORE, "MSG_RESTORE"},
        {MSG_UPGRADE, "MSG_UPGRADE"},
        {MSG_UPGRADE_RESULT, "MSG_UPGRADE_RESULT"},
        {MSG_SET_VLAN, "MSG_SET_VLAN"},
        {MSG_KEEPALIVE, "MSG_KEEPALIVE"},
        {MSG_UPGRADE_STATUS, "MSG_UPGRADE_STATUS"},
        {MSG_RELEASE, "MSG_RELEASE"},
        {MSG_SET_TRANSPARENT_BRIDGE, "MSG_SET_TRANSPARENT_BRIDGE"},
        {MSG_SET_TDMA, "MSG_SET_TDMA"},
    };
    for (const auto& [code, name] : kNames)
        if (code == type) return name;
    return "MSG_" + std::to_string(type);
}

std::string HexText(const std::vector<std::uint8_t>& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

}  // namespace fk::cli
