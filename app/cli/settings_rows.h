// Every setting the device management window shows for a record, tab by tab, as rows
// of text (tab, setting, value) for `show` and for `configure`'s closing report.
#pragma once

#include <vector>

#include "app/text_table.h"
#include "store/device_record.h"

namespace fk::cli {

TextRow SettingsHeader();
std::vector<TextRow> SettingsRows(const ap_info_stu& record);

}  // namespace fk::cli
