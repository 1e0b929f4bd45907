// The weekly reboot tab as a rule. The tab holds the four schedule bytes of the record
// only: on/off, the day bits (0x02 Monday up to 0x80 Sunday) and the minutes after
// midnight.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "config/pane_rejection.h"
#include "store/device_record.h"

namespace fk {

inline constexpr std::size_t kRebootBlockSize = 4;
using reboot_set_stu = std::array<std::uint8_t, kRebootBlockSize>;

enum RebootField : int { kRebootFieldNone, kRebootFieldHour, kRebootFieldMinute, kRebootFieldDays };

// Monday first, as the tab lists them.
inline constexpr std::array<const char*, 7> kRebootDayKeys = {
    FK_TR("Monday"), FK_TR("Tuesday"),  FK_TR("Wednesday"), FK_TR("Thursday"),
    FK_TR("Friday"), FK_TR("Saturday"), FK_TR("Sunday")};

struct RebootPaneInput {
    bool enabled = false;
    std::string hour;
    std::string minute;
    std::array<bool, 7> days{};
    // Stands for all seven days; it has no bit of its own.
    bool everyday = false;
};

struct RebootPaneResult {
    reboot_set_stu block{};
    bool changed = false;
    std::optional<PaneRejection> rejection;
};

reboot_set_stu RebootBytes(const ap_info_stu& record);
std::uint8_t DayBit(int day);  // day 0 is Monday
RebootPaneInput RebootPaneShown(const reboot_set_stu& bytes);
RebootPaneResult CollectTimedReboot(const reboot_set_stu& received, const RebootPaneInput& input);

}  // namespace fk
