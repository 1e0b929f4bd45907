// Texts the user sees for the codes of a device record. Translated texts go through
// the language pack each time they are produced, so a language switch shows at once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fk {

std::string StatusName(int code);
std::string ModelName(int type_code);
int ModelCode(std::string_view model_name);
std::string WorkModeName(int code);
std::string SecurityName(int code);
std::string ChannelText(int channel);
// Whether the switch can be set on such a device; where it cannot, its text is "N/A".
bool HasTransparentBridgeSwitch(int type_code, int work_mode);
bool HasTdmaSwitch(int type_code);
std::string TransparentBridgeText(int type_code, int work_mode, int value);
std::string TdmaText(int type_code, int value);
std::string UptimeText(std::uint32_t seconds);

}  // namespace fk
