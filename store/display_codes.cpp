#include "store/display_codes.h"

#include <array>
#include <cstdio>

#include "app/language.h"
#include "store/device_record.h"

namespace fk {
namespace {

struct ModelEntry {
    int code;
    const char* name;
};

constexpr std::array<ModelEntry, 25> kModels = {{
    {1, "NX-01"},   {2, "NX-02"},   {3, "NX-03"},   {4, "NX-04"},   {5, "NX-05"},
    {6, "NX-06"},   {7, "NX-07"},   {8, "NX-08"},   {9, "NX-09"},   {10, "NX-10"},
    {11, "NX-11"},  {257, "NQ-01"}, {258, "NQ-02"}, {259, "NQ-03"}, {260, "NQ-04"},
    {261, "NQ-05"}, {262, "NQ-06"}, {263, "NQ-07"}, {264, "NQ-08"}, {265, "NQ-09"},
    {266, "NQ-10"}, {267, "NQ-11"}, {268, "NQ-12"}, {269, "NQ-13"}, {270, "NQ-14"},
}};

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

// The switch exists neither on these models nor in modes that route or repeat.
bool LacksTransparentBridge(int type_code, int work_mode) {
    return type_code == 4 || type_code == 261 ||
           (work_mode >= WORK_MODE_REPEATER && work_mode <= WORK_MODE_ROUTER);
}

}  // namespace

std::string StatusName(int code) {
    return TranslatedEntry(kStatusKeys, code);
}

std::string ModelName(int type_code) {
    for (const auto& m : kModels) {
        if (m.code == type_code) return m.name;
    }
    return kModels[0].name;
}

int ModelCode(std::string_view model_name) {
    for (const auto& m : kModels) {
        if (model_name == m.name) return m.code;
    }
    return kModels[0].code;
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
    if (LacksTransparentBridge(type_code, work_mode)) return kNotApplicable;
    return OnOffText(value);
}

std::string TdmaText(int type_code, int value) {
    const bool has_tdma = type_code == 6 || (type_code >= 8 && type_code <= 11) ||
                          (type_code >= 265 && type_code <= 270);
    return has_tdma ? OnOffText(value) : kNotApplicable;
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
