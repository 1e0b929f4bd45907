#include "config/wireless_security.h"

#include <initializer_list>
#include <utility>

#include "app/language.h"
#include "app/utf8.h"
#include "config/number_text.h"
#include "config/validation.h"
#include "protocol/address_text.h"

namespace fk {
namespace {

constexpr const char* kModeTexts[] = {
    FK_TR("None"), FK_TR("WEP"), FK_TR("WPA-PSK"), FK_TR("WPA2-PSK"), FK_TR("Mixed WPA/WPA2-PSK"),
    FK_TR("WPA"),  FK_TR("WPA2")};
constexpr int kModeCount = static_cast<int>(std::size(kModeTexts));

constexpr const char* kMsgWepAsciiLength =
    FK_TR("WEP key is invalid! Please enter 5 or 13 ASCII characters!");
constexpr const char* kMsgWepAsciiCharacters =
    FK_TR("WEP key includes invalid characters (It should only include 0-9,a-z,A-Z,@,*,- and _.)!");
constexpr const char* kMsgWepHex =
    FK_TR("WEP key is invalid! Please enter 10 or 26 HEX characters!");
constexpr const char* kMsgWepMissing[kWepKeyCount] = {
    FK_TR("Please enter the WEP key1!"), FK_TR("Please enter the WEP key2!"),
    FK_TR("Please enter the WEP key3!"), FK_TR("Please enter the WEP key4!")};
constexpr const char* kMsgPskKey =
    FK_TR("Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!");
constexpr const char* kMsgRadiusKey = FK_TR("Please enter a key for 1~64 ASCII characters!");
constexpr const char* kMsgKeyTimeEmpty = FK_TR("The key update interval should not be empty!");
constexpr const char* kMsgKeyTimeRange = FK_TR("The key update interval range: 60~99999 or 0!");

constexpr long kKeyTimeLowest = 60;
constexpr long kKeyTimeHighest = 99999;

ChoiceList FixedList(std::initializer_list<std::pair<const char*, int>> items, int stored) {
    ChoiceList list;
    for (const auto& [text, code] : items) list.items.push_back({text, code, true});
    // A stored code outside the list shows the first item: an empty selection would
    // make Save write whatever "nothing selected" happens to mean.
    list.selected = list.Find(stored) < 0 ? 0 : list.Find(stored);
    return list;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (char c : text) n += StartsUtf8Character(c) ? 1 : 0;
    return n;
}

// Every character in U+0001 to U+007F.
bool IsAscii(std::string_view text) {
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0 || b >= 0x80) return false;
    }
    return true;
}

bool IsHexDigits(std::string_view text) {
    for (char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) return false;
    }
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

PaneRejection WepWarning(const char* key) {
    return {Translate(key), Translate("CPEManagement"), MsgIcon::Warning, kSecurityFieldNone};
}

bool IsPsk(int mode) {
    return mode == kSecureWpaPsk || mode == kSecureWpa2Psk || mode == kSecureMixedPsk;
}

bool IsRadius(int mode) {
    return mode == kSecureWpa || mode == kSecureWpa2;
}

// Empty, or a number neither 0 nor within 60..99999, fails; a number typed beyond
// the field saturates and fails as well.
std::optional<PaneRejection> CheckKeyTime(const std::string& text, int empty_focus, int focus) {
    if (text.empty()) return Warning(kMsgKeyTimeEmpty, empty_focus);
    const long n = LeadingNumber(text);
    if (n == 0 || (n >= kKeyTimeLowest && n <= kKeyTimeHighest)) return std::nullopt;
    return Warning(kMsgKeyTimeRange, focus);
}

std::optional<PaneRejection> CheckWep(const SecurityPaneInput& in) {
    for (int k = 0; k < kWepKeyCount; ++k) {
        const std::string key = WepKeyAsSent(in, k);
        if (key.empty()) continue;
        const std::size_t length = CharacterCount(key);
        if (in.wep_keys[k].type.Code(0) == 1) {
            if ((length != 10 && length != 26) || !IsHexDigits(key)) return WepWarning(kMsgWepHex);
            continue;
        }
        if (length != 5 && length != 13) return WepWarning(kMsgWepAsciiLength);
        if (!IsAscii(key)) return WepWarning(kMsgWepAsciiCharacters);
    }
    const int chosen = in.wep_default.Code(1) - 1;
    if (chosen >= 0 && chosen < kWepKeyCount && WepKeyAsSent(in, chosen).empty())
        return WepWarning(kMsgWepMissing[chosen]);
    return std::nullopt;
}

std::optional<PaneRejection> CheckPsk(const SecurityPaneInput& in) {
    const std::size_t length = CharacterCount(in.psk_key);
    const bool fits = length >= 8 && length <= kKeyTextBytes && IsAscii(in.psk_key) &&
                      (length < kKeyTextBytes || IsHexDigits(in.psk_key));
    if (!fits) return Warning(kMsgPskKey, kSecurityFieldNone);
    return CheckKeyTime(in.psk_key_time, kSecurityFieldPskKeyTime, kSecurityFieldPskKeyTime);
}

// Text that is not an exact address reads as 0.0.0.0, which the server rule refuses,
// so what is sent is always what was typed.
Ipv4Octets RadiusServerOctets(const std::string& text) {
    Ipv4Octets octets{};
    ParseIpv4(text, octets);
    return octets;
}

std::optional<PaneRejection> CheckRadius(const SecurityPaneInput& in) {
    const ValidationResult server =
        CheckRadiusServer(RadiusServerOctets(in.radius_server), in.radius_port);
    if (!server) return RejectionOf(server, kSecurityFieldNone);
    const std::size_t length = CharacterCount(in.radius_key);
    if (length < 1 || length > kKeyTextBytes || !IsAscii(in.radius_key))
        return Warning(kMsgRadiusKey, kSecurityFieldNone);
    return CheckKeyTime(in.radius_key_time, kSecurityFieldNone, kSecurityFieldRadiusKeyTime);
}

std::uint32_t KeyTime(const std::string& text) {
    const long n = LeadingNumber(text);
    return n < 0 ? 0 : static_cast<std::uint32_t>(n);
}

}  // namespace

SecurityVisibility SecurityVisibilityFor(int mode) {
    SecurityVisibility v;
    v.psk = IsPsk(mode);
    v.psk_tkip_aes = mode == kSecureWpa2Psk || mode == kSecureMixedPsk;
    v.wep = mode == kSecureWep;
    v.radius = IsRadius(mode);
    return v;
}

SecurityPaneInput SecurityPaneShown(const ap_report_stu& r) {
    SecurityPaneInput in;
    for (int code = 0; code < kModeCount; ++code) in.mode.items.push_back({kModeTexts[code], code});
    in.mode.selected = r.secure_mode;
    if (r.secure_mode >= kModeCount) {
        // Shown as it is, so that Save sends it back unchanged.
        in.mode.items.push_back({std::to_string(r.secure_mode), r.secure_mode, false});
        in.mode.selected = kModeCount;
    }
    in.psk_cipher =
        r.wpapsk_auth_type <= kCipherTkipAes ? int{r.wpapsk_auth_type} : int{kCipherAes};
    in.psk_key = std::string(r.wpapsk_key_value.View());
    in.psk_key_time = std::to_string(r.wpapsk_key_time);
    in.wep_auth = FixedList({{FK_TR("Open"), 0}, {FK_TR("Share"), 1}}, r.wep_auth_type);
    in.wep_default = FixedList(
        {{FK_TR("Key 1"), 1}, {FK_TR("Key 2"), 2}, {FK_TR("Key 3"), 3}, {FK_TR("Key 4"), 4}},
        r.wep_key_index);
    for (int k = 0; k < kWepKeyCount; ++k) {
        in.wep_keys[k].text = std::string(r.wep_key[k].value.View());
        in.wep_keys[k].type =
            FixedList({{FK_TR("ASCII"), 0}, {FK_TR("Hex"), 1}}, r.wep_key[k].type);
    }
    in.radius_cipher =
        FixedList({{FK_TR("AES"), 0}, {FK_TR("TKIP"), 1}, {FK_TR("AES/TKIP"), 2}}, r.wpa_auth_type);
    in.radius_server = IpOctetsToText(r.wpa_radius_ip);
    in.radius_port = std::to_string(r.wpa_radius_port);
    in.radius_key = std::string(r.wpa_key.View());
    in.radius_key_time = std::to_string(r.wpa_key_time);
    if (in.mode.Code(-1) == kSecureWpaPsk && in.psk_cipher == kCipherTkipAes)
        in.psk_cipher = kCipherAes;
    return in;
}

void ChooseSecurityMode(SecurityPaneInput& in, int index) {
    if (index < 0 || index >= static_cast<int>(in.mode.items.size())) return;
    in.mode.selected = index;
    if (in.mode.Code(-1) == kSecureWpaPsk && in.psk_cipher == kCipherTkipAes)
        in.psk_cipher = kCipherAes;
}

int SelectedSecureMode(const SecurityPaneInput& in, int stored) {
    return in.mode.Code(stored);
}

std::string WepKeyAsSent(const SecurityPaneInput& in, int k) {
    const std::string& text = in.wep_keys[k].text;
    if (k != 0) return text;
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    return text.substr(start);
}

std::optional<PaneRejection> CheckSecurity(const SecurityPaneInput& in) {
    const int mode = in.mode.Code(-1);
    if (mode == kSecureWep) return CheckWep(in);
    if (IsPsk(mode)) return CheckPsk(in);
    if (IsRadius(mode)) return CheckRadius(in);
    return std::nullopt;
}

void WriteSecurity(const SecurityPaneInput& in, ap_report_stu& r) {
    const int mode = in.mode.Code(r.secure_mode);
    r.secure_mode = static_cast<std::uint8_t>(mode);
    if (IsPsk(mode)) {
        r.wpapsk_auth_type = static_cast<std::uint8_t>(in.psk_cipher);
        r.wpapsk_key_value.Assign(in.psk_key);
        r.wpapsk_key_time = KeyTime(in.psk_key_time);
    } else if (mode == kSecureWep) {
        r.wep_auth_type = static_cast<std::uint8_t>(in.wep_auth.Code(0));
        r.wep_key_index = static_cast<std::uint8_t>(in.wep_default.Code(1));
        for (int k = 0; k < kWepKeyCount; ++k) {
            r.wep_key[k].type = static_cast<std::uint8_t>(in.wep_keys[k].type.Code(0));
            r.wep_key[k].value.Assign(WepKeyAsSent(in, k));
        }
    } else if (IsRadius(mode)) {
        const Ipv4Octets server = RadiusServerOctets(in.radius_server);
        std::copy(server.begin(), server.end(), r.wpa_radius_ip);
        r.wpa_radius_port = static_cast<std::uint16_t>(LeadingNumber(in.radius_port));
        r.wpa_auth_type = static_cast<std::uint8_t>(in.radius_cipher.Code(0));
        r.wpa_key.Assign(in.radius_key);
        r.wpa_key_time = KeyTime(in.radius_key_time);
    }
}

}  // namespace fk
