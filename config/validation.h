// The input rules every window applies before anything is sent to a device:
// addresses, masks, address ranges, the RADIUS server, device names and SSIDs.
// The checks are pure; a failed check carries the message to show (a language
// key) and how to show it, and ShowValidationMessage puts it on screen.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/language.h"
#include "app/prompter.h"
#include "protocol/address_text.h"

namespace fk {

// The input a failed check is about, so the window can put the focus there.
enum class ValidationField { None, Ip, Mask, Gateway, EndIp, Dns1, Dns2, Server, Port, Text };

struct ValidationResult {
    bool ok = true;
    std::string message;  // language key and English wording; empty when ok
    MsgIcon icon = MsgIcon::None;
    bool application_title = false;  // shown under the program's title, else untitled
    ValidationField field = ValidationField::None;

    explicit operator bool() const { return ok; }
};

// Message keys, shared with the windows that focus the failing field.
inline constexpr const char* kMsgIpInvalid = FK_TR("The ip address is invalid!");
inline constexpr const char* kMsgMaskInvalid = FK_TR("The subnet mask is invalid!");
inline constexpr const char* kMsgGatewayInvalid = FK_TR("The gateway address is invalid!");
inline constexpr const char* kMsgIpIsGateway =
    FK_TR("The ip address and gateway address cannot be the same!");
inline constexpr const char* kMsgNotSameSubnet =
    FK_TR("Ip address and gateway address is not in the same subnet!");
inline constexpr const char* kMsgDns1Invalid = FK_TR("The primary DNS Server is invalid!");
inline constexpr const char* kMsgDns2Invalid = FK_TR("The secondary DNS Server is invalid!");
inline constexpr const char* kMsgIpInUse =
    FK_TR("The ip address is already in use, please respecify!");
inline constexpr const char* kMsgRadiusServer =
    FK_TR("Please enter a valid RADIUS Server address!");
inline constexpr const char* kMsgRadiusPort = FK_TR("Please specify a valid RADIUS Port!");
inline constexpr const char* kMsgNameEmpty = FK_TR("The device name can not be empty!");
inline constexpr const char* kMsgNameRestricted = FK_TR(
    "Device name maximum allowed 32 bytes, only support combination of Chinese, lowercase "
    "letters, 0-9 numbers");
inline constexpr const char* kMsgNamePlain = FK_TR(
    "Device name maximum allowed 32 bytes, only support combination of Chinese, ASCII characters");
inline constexpr const char* kMsgSsidEmpty = FK_TR("The ssid can not be empty!");
inline constexpr const char* kMsgSsidRestricted = FK_TR(
    "SSID maximum allowed 32 bytes, only support combination of Chinese, lowercase letters, 0-9 "
    "numbers");
inline constexpr const char* kMsgSsidPlain =
    FK_TR("SSID maximum allowed 32 bytes, only support combination of Chinese, ASCII characters");

// Empty or "0.0.0.0" passes only when `optional`; loopback, multicast and class E,
// network 0, and host parts 0 and 255 never pass.
bool IsValidHostAddress(std::string_view text, bool optional);
// Four parts, neither all ones nor all zeros; contiguity is not required because
// devices in the field carry such masks and must stay configurable.
bool IsValidSubnetMask(std::string_view text);
bool IsSameSubnet(const Ipv4Octets& a, const Ipv4Octets& b, const Ipv4Octets& mask);

ValidationResult CheckIpSettings(std::string_view ip, std::string_view mask,
                                 std::string_view gateway, std::string_view dns1,
                                 std::string_view dns2);
// A range handed out to `device_count` devices; with one device the end address
// is ignored.
ValidationResult CheckIpRange(std::string_view begin, std::string_view end, std::string_view mask,
                              std::string_view gateway, std::string_view dns1,
                              std::string_view dns2, int device_count);

// True when `new_ip` (empty = "0.0.0.0") is one of `stored_ips` and not the
// device's own current address.
bool IsAddressInUse(std::string_view new_ip, const Ipv4Octets& current_ip,
                    const std::vector<std::string>& stored_ips);
ValidationResult CheckAddressNotInUse(std::string_view new_ip, const Ipv4Octets& current_ip,
                                      const std::vector<std::string>& stored_ips);

// An optional address with no rule beyond being one (empty passes), shown as the
// address messages are.
ValidationResult CheckAnyAddress(std::string_view text, const char* message, ValidationField field);

ValidationResult CheckRadiusServer(const Ipv4Octets& server, std::string_view port);

// Devices of these models accept only a restricted character set in names and SSIDs.
bool UsesRestrictedNames(int type_code);
bool IsValidNameText(std::string_view text, int type_code);
ValidationResult CheckDeviceName(std::string_view text, int type_code);
ValidationResult CheckSsid(std::string_view text, int type_code);

// Code points the devices accept beyond ASCII: CJK ideographs and Chinese punctuation.
bool IsChineseCharacter(char32_t cp);
bool ContainsChineseCharacter(std::string_view text);
// Bytes the text takes on a device, counting every UTF-16 unit of a character.
std::size_t DeviceByteLength(std::string_view text);

// Shows a failed result through the process prompter; returns result.ok.
bool ShowValidationMessage(IPrompter& prompter, const ValidationResult& result);

}  // namespace fk
