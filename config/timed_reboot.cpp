#include "config/timed_reboot.h"

#include "config/number_text.h"

namespace fk {
namespace {

constexpr const char* kMsgTimeEmpty = FK_TR("The time can not be empty!");
constexpr const char* kMsgTimeError = FK_TR("The time is error!");
constexpr const char* kMsgNoDay = FK_TR("Please selectting the day that you want to reboot!");
constexpr std::uint8_t kAllDays = 0xFE;

std::optional<PaneRejection> CheckTime(const RebootPaneInput& in) {
    if (in.hour.empty()) return Warning(kMsgTimeEmpty, kRebootFieldHour);
    if (in.minute.empty()) return Warning(kMsgTimeEmpty, kRebootFieldMinute);
    const long hour = LeadingNumber(in.hour);
    if (hour < 0 || hour > 23) return Warning(kMsgTimeError, kRebootFieldHour);
    const long minute = LeadingNumber(in.minute);
    if (minute < 0 || minute > 59) return Warning(kMsgTimeError, kRebootFieldMinute);
    return std::nullopt;
}

std::uint8_t DayBits(const RebootPaneInput& in) {
    if (in.everyday) return kAllDays;
    std::uint8_t bits = 0;
    for (int day = 0; day < 7; ++day)
        if (in.days[day]) bits |= DayBit(day);
    return bits;
}

}  // namespace

reboot_set_stu RebootBytes(const ap_info_stu& record) {
    const ap_report_stu& r = record.report;
    return {r.restart_en, r.restart_type, static_cast<std::uint8_t>(r.restart_time & 0xFF),
            static_cast<std::uint8_t>(r.restart_time >> 8)};
}

std::uint8_t DayBit(int day) {
    return static_cast<std::uint8_t>(0x02 << day);
}

RebootPaneInput RebootPaneShown(const reboot_set_stu& bytes) {
    RebootPaneInput shown;
    shown.enabled = bytes[0] != 0;
    for (int day = 0; day < 7; ++day) shown.days[day] = (bytes[1] & DayBit(day)) != 0;
    shown.everyday = (bytes[1] & kAllDays) == kAllDays;
    const int minutes = bytes[2] | bytes[3] << 8;
    shown.hour = std::to_string(minutes / 60);
    shown.minute = std::to_string(minutes % 60);
    return shown;
}

RebootPaneResult CollectTimedReboot(const reboot_set_stu& received, const RebootPaneInput& in) {
    RebootPaneResult out;
    out.block = received;
    if (in.enabled) {
        out.rejection = CheckTime(in);
        if (out.rejection) return out;
        const std::uint8_t days = DayBits(in);
        // A schedule without a day would never run, yet reads as "on" on the device.
        if (days == 0) {
            out.rejection = Warning(kMsgNoDay, kRebootFieldDays);
            return out;
        }
        const long minutes = LeadingNumber(in.hour) * 60 + LeadingNumber(in.minute);
        out.block = {1, days, static_cast<std::uint8_t>(minutes & 0xFF),
                     static_cast<std::uint8_t>(minutes >> 8)};
    } else {
        out.block[0] = 0;
    }
    out.changed = out.block != received;
    return out;
}

}  // namespace fk
