#include "store/display_codes.h"

#include <array>
#include <cstdio>

#include "app/language.h"
#include "protocol/model_capabilities.h"
#include "store/device_record.h"

namespace fk {
namespace {

constexpr std::array<const char*, 10> kStatusKeys = {
    FK_TR("Outline"),         FK_TR("Online"),       FK_TR("Bridge success"), FK_TR("Bridge fail"),
    FK_TR("Restarting"),      FK_TR("Reseting"),     FK_TR("Upgrade wait"),   FK_TR("Upgrading"),
    FK_TR("Upgrade success"), FK_TR("Upgrade fail"),
};

// Index 0 is unused: work mode codes start at 1.
constexpr std::array<const char*, 8> kWorkModeKeys = {
    nullptr,           FK_TR("AP"),   FK_TR("Station"), FK_TR("Universal Repeater"),
    FK_TR("Repeater"), FK_TR("P2MP"), FK_TR("WISP"),    FK_TR("Router"),
};

constexpr std::array<const char*, 7> kSecurityKeys = {
    FK_TR("Disable"),     FK_TR("WEP"), FK_TR("WPA_PSK"), FK_TR("WPA2_PSK"),
    FK_TR("WPAWPA2_PSK"), FK_TR("WPA"), FK_TR("WPA2"),
};

constexpr const char* kNotApplicable = "N/A";

template <std::size_t N>
std::string TranslatedEntry(const std::array<const char*, N>& table, int code) {
    if (code < 0 || static_cast<std::size_t>(code) >= N || table[code] == nullptr) return {};
    return Translate(table[code]);
}

std::string OnOffText(int value) {
    return Translate(value != 0 ? FK_TR("On2") : FK_TR("Off2"));
}

}  // namespace

std::string StatusName(int code) {
    return TranslatedEntry(kStatusKeys, code);
}

std::string ModelName(int type_code) {
    return std::string(ModelByCode(type_code).name);
}

int ModelCode(std::string_view model_name) {
    return ModelByName(model_name).code;
}

bool HasTransparentBridgeSwitch(int type_code, int work_mode) {
    // A radio that routes or repeats has no bridge of its own to make transparent.
    return ModelByCode(type_code).transparent_bridge &&
           !(work_mode >= WORK_MODE_REPEATER && work_mode <= WORK_MODE_ROUTER);
}

bool HasTdmaSwitch(int type_code) {
    return ModelByCode(type_code).tdma;
}

std::string WorkModeName(int code) {
    return TranslatedEntry(kWorkModeKeys, code);
}

std::string SecurityName(int code) {
    return TranslatedEntry(kSecurityKeys, code);
}

std::string ChannelText(int channel) {
    if (channel == 0) return Translate("Auto");
    return std::to_string(channel);
}

std::string TransparentBridgeText(int type_code, int work_mode, int value) {
    return HasTransparentBridgeSwitch(type_code, work_mode) ? OnOffText(value) : kNotApplicable;
}

std::string TdmaText(int type_code, int value) {
    return HasTdmaSwitch(type_code) ? OnOffText(value) : kNotApplicable;
}

std::string UptimeText(std::uint32_t seconds) {
    const std::uint32_t d = seconds / 86400;
    const std::uint32_t h = (seconds / 3600) % 24;
    const std::uint32_t m = (seconds / 60) % 60;
    const std::uint32_t s = seconds % 60;
    char buf[48];
    if (d != 0) {
        std::snprintf(buf, sizeof(buf), "%u %u:%u:%u", d, h, m, s);
    } else {
        std::snprintf(buf, sizeof(buf), "%u:%u:%u", h, m, s);
    }
    return buf;
}

}  // namespace fk
