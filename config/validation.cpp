#include "config/validation.h"

#include <algorithm>
#include <optional>

#include "app/language.h"
#include "app/utf8.h"
#include "protocol/model_capabilities.h"
#include "protocol/wire_sizes.h"

namespace fk {
namespace {

constexpr std::string_view kBlankAddress = "0.0.0.0";

ValidationResult Pass() {
    return {};
}

// Address messages appear under the program's title without an icon.
ValidationResult AddressFailure(const char* message, ValidationField field) {
    return {false, message, MsgIcon::None, true, field};
}

ValidationResult Warning(const char* message, ValidationField field) {
    return {false, message, MsgIcon::Warning, false, field};
}

bool IsBlank(std::string_view text) {
    return text.empty() || text == kBlankAddress;
}

bool IsUsableHost(const Ipv4Octets& o) {
    return o[0] != 0 && o[0] != 127 && o[0] < 224 && o[3] != 0 && o[3] != 255;
}

// Every rule compares addresses, never their texts: a blank one is 0.0.0.0, and a
// text that is not an exact address reads as 0.0.0.0 too (the validity steps refuse
// it before any comparison counts).
Ipv4Octets OctetsOf(std::string_view text) {
    Ipv4Octets o{};
    ParseIpv4(text, o);
    return o;
}

bool SameAddress(std::string_view a, std::string_view b) {
    return OctetsOf(a) == OctetsOf(b);
}

bool GatewayOutsideSubnet(std::string_view ip, std::string_view gateway, std::string_view mask) {
    return !IsBlank(gateway) && !IsSameSubnet(OctetsOf(ip), OctetsOf(gateway), OctetsOf(mask));
}

// Steps 1 to 3 shared by a single device and a range.
std::optional<ValidationResult> CheckAddressMaskGateway(std::string_view ip, std::string_view mask,
                                                        std::string_view gateway) {
    if (!IsValidHostAddress(ip, false)) return AddressFailure(kMsgIpInvalid, ValidationField::Ip);
    if (!IsValidSubnetMask(mask)) return AddressFailure(kMsgMaskInvalid, ValidationField::Mask);
    if (!IsValidHostAddress(gateway, true))
        return AddressFailure(kMsgGatewayInvalid, ValidationField::Gateway);
    if (!IsBlank(gateway) && SameAddress(ip, gateway))
        return AddressFailure(kMsgIpIsGateway, ValidationField::Gateway);
    return std::nullopt;
}

ValidationResult CheckDnsServers(std::string_view dns1, std::string_view dns2) {
    if (!IsValidHostAddress(dns1, true))
        return AddressFailure(kMsgDns1Invalid, ValidationField::Dns1);
    if (!IsValidHostAddress(dns2, true))
        return AddressFailure(kMsgDns2Invalid, ValidationField::Dns2);
    return Pass();
}

constexpr std::string_view kRestrictedMarks = "!#$%&()*+-./<=>?@^_~";

bool InRestrictedClass(char32_t cp) {
    if ((cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9')) {
        return true;
    }
    if (cp < 0x80) return kRestrictedMarks.find(static_cast<char>(cp)) != std::string_view::npos;
    return IsChineseCharacter(cp);
}

bool InPlainClass(char32_t cp) {
    return (cp >= 0x01 && cp <= 0x7F) || IsChineseCharacter(cp);
}

ValidationResult CheckNameLike(std::string_view text, int type_code, const char* empty,
                               const char* restricted, const char* plain) {
    if (text.empty()) return Warning(empty, ValidationField::Text);
    if (IsValidNameText(text, type_code)) return Pass();
    return Warning(UsesRestrictedNames(type_code) ? restricted : plain, ValidationField::Text);
}

}  // namespace

bool IsValidHostAddress(std::string_view text, bool optional) {
    if (IsBlank(text)) return optional;
    Ipv4Octets o;
    // An octet beyond 255 is refused rather than folded into another address.
    return ParseIpv4(text, o) && IsUsableHost(o);
}

bool IsValidSubnetMask(std::string_view text) {
    Ipv4Octets o;
    if (!ParseIpv4(text, o)) return false;
    return o != Ipv4Octets{255, 255, 255, 255} && o != Ipv4Octets{};
}

bool IsSameSubnet(const Ipv4Octets& a, const Ipv4Octets& b, const Ipv4Octets& mask) {
    for (std::size_t i = 0; i < 4; ++i) {
        if ((a[i] & mask[i]) != (b[i] & mask[i])) return false;
    }
    return true;
}

ValidationResult CheckIpSettings(std::string_view ip, std::string_view mask,
                                 std::string_view gateway, std::string_view dns1,
                                 std::string_view dns2) {
    if (auto failed = CheckAddressMaskGateway(ip, mask, gateway)) return *failed;
    if (GatewayOutsideSubnet(ip, gateway, mask))
        return AddressFailure(kMsgNotSameSubnet, ValidationField::Gateway);
    return CheckDnsServers(dns1, dns2);
}

ValidationResult CheckIpRange(std::string_view begin, std::string_view end, std::string_view mask,
                              std::string_view gateway, std::string_view dns1,
                              std::string_view dns2, int device_count) {
    if (auto failed = CheckAddressMaskGateway(begin, mask, gateway)) return *failed;
    const bool uses_end = device_count >= 2;
    if (uses_end) {
        if (!IsValidHostAddress(end, false))
            return AddressFailure(kMsgIpInvalid, ValidationField::EndIp);
        if (HostOrderOf(OctetsOf(begin)) >= HostOrderOf(OctetsOf(end))) {
            return AddressFailure(kMsgIpInvalid, ValidationField::EndIp);
        }
        if (!IsBlank(gateway) && SameAddress(end, gateway))
            return AddressFailure(kMsgIpIsGateway, ValidationField::Gateway);
    }
    if (GatewayOutsideSubnet(begin, gateway, mask)) {
        return AddressFailure(kMsgNotSameSubnet, ValidationField::Gateway);
    }
    if (uses_end && GatewayOutsideSubnet(end, gateway, mask)) {
        return AddressFailure(kMsgNotSameSubnet, ValidationField::Gateway);
    }
    return CheckDnsServers(dns1, dns2);
}

bool IsAddressInUse(std::string_view new_ip, const Ipv4Octets& current_ip,
                    const std::vector<std::string>& stored_ips) {
    const Ipv4Octets wanted = OctetsOf(new_ip);
    if (wanted == current_ip) return false;
    return std::any_of(stored_ips.begin(), stored_ips.end(), [&](const std::string& stored) {
        Ipv4Octets o;
        return ParseIpv4(stored, o) && o == wanted;
    });
}

ValidationResult CheckAddressNotInUse(std::string_view new_ip, const Ipv4Octets& current_ip,
                                      const std::vector<std::string>& stored_ips) {
    if (IsAddressInUse(new_ip, current_ip, stored_ips))
        return AddressFailure(kMsgIpInUse, ValidationField::Ip);
    return Pass();
}

ValidationResult CheckAnyAddress(std::string_view text, const char* message,
                                 ValidationField field) {
    Ipv4Octets o;
    if (text.empty() || ParseIpv4(text, o)) return Pass();
    return AddressFailure(message, field);
}

ValidationResult CheckRadiusServer(const Ipv4Octets& server, std::string_view port) {
    if (!IsUsableHost(server)) return Warning(kMsgRadiusServer, ValidationField::Server);
    std::uint32_t number = 0;
    for (char c : port) {
        if (c < '0' || c > '9') break;
        number = std::min<std::uint32_t>(number * 10 + static_cast<std::uint32_t>(c - '0'), 70000);
    }
    if (number < 1 || number > 65535) return Warning(kMsgRadiusPort, ValidationField::Port);
    return Pass();
}

bool UsesRestrictedNames(int type_code) {
    return ModelByCode(type_code).restricted_names;
}

bool IsValidNameText(std::string_view text, int type_code) {
    const bool restricted = UsesRestrictedNames(type_code);
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        if (!DecodeUtf8(text, pos, cp)) return false;
        if (!(restricted ? InRestrictedClass(cp) : InPlainClass(cp))) return false;
    }
    return DeviceByteLength(text) <= kNameTextBytes;
}

ValidationResult CheckDeviceName(std::string_view text, int type_code) {
    return CheckNameLike(text, type_code, kMsgNameEmpty, kMsgNameRestricted, kMsgNamePlain);
}

ValidationResult CheckSsid(std::string_view text, int type_code) {
    return CheckNameLike(text, type_code, kMsgSsidEmpty, kMsgSsidRestricted, kMsgSsidPlain);
}

bool IsChineseCharacter(char32_t cp) {
    if (cp >= 0x4E00 && cp <= 0x9FA5) return true;
    if (cp >= 0x3008 && cp <= 0x3011) return true;
    constexpr char32_t kMarks[] = {0x00B7, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2026, 0x3001,
                                   0x3002, 0x3014, 0x3015, 0xFE43, 0xFE44, 0xFE4F, 0xFF01, 0xFF08,
                                   0xFF09, 0xFF0C, 0xFF1A, 0xFF1B, 0xFF1F, 0xFF5E, 0xFFE5};
    return std::find(std::begin(kMarks), std::end(kMarks), cp) != std::end(kMarks);
}

bool ContainsChineseCharacter(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        if (!DecodeUtf8(text, pos, cp)) {
            ++pos;
            continue;
        }
        if (IsChineseCharacter(cp)) return true;
    }
    return false;
}

std::size_t DeviceByteLength(std::string_view text) {
    std::size_t bytes = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        if (!DecodeUtf8(text, pos, cp)) {
            ++pos;
            bytes += 3;  // shown as a replacement character
            continue;
        }
        if (cp < 0x80) {
            bytes += 1;
        } else if (cp < 0x800) {
            bytes += 2;
        } else if (cp < 0x10000) {
            bytes += 3;
        } else {
            bytes += 6;  // a surrogate pair, three bytes per half
        }
    }
    return bytes;
}

bool ShowValidationMessage(IPrompter& prompter, const ValidationResult& result) {
    if (result.ok) return true;
    const std::string title = result.application_title ? Translate("CPEManagement") : "";
    prompter.Warn(title, Translate(result.message), result.icon);
    return false;
}

}  // namespace fk
