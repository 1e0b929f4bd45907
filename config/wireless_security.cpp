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

// WEP messages are shown under the program's title.
ValidationResult WepFailure(const char* message) {
    return {false, message, MsgIcon::Warning, true, ValidationField::Text};
}

ValidationResult CheckOneWepKey(std::string_view key, int type) {
    const std::size_t length = CharacterCount(key);
    if (type == kWepHex) {
        if ((length != 10 && length != 26) || !IsHexDigits(key)) return WepFailure(kMsgWepHex);
        return {};
    }
    if (length != 5 && length != 13) return WepFailure(kMsgWepAsciiLength);
    if (!IsAscii(key)) return WepFailure(kMsgWepAsciiCharacters);
    return {};
}

WepKeysInput WepKeysOf(const SecurityPaneInput& in) {
    WepKeysInput keys;
    keys.auth_type = in.wep_auth.Code(0);
    keys.default_key = in.wep_default.Code(1);
    for (int k = 0; k < kWepKeyCount; ++k) {
        keys.keys[k] = in.wep_keys[k].text;
        keys.types[k] = in.wep_keys[k].type.Code(kWepAscii);
    }
    return keys;
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
    const WepCheck check = CheckWepKeys(WepKeysOf(in));
    if (!check.result) return RejectionOf(check.result, kSecurityFieldNone);
    return std::nullopt;
}

std::optional<PaneRejection> CheckPsk(const SecurityPaneInput& in) {
    const ValidationResult key = CheckPskKey(in.psk_key);
    if (!key) return RejectionOf(key, kSecurityFieldNone);
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
    return WepKeyText(WepKeysOf(in), k);
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

bool IsValidPskKey(std::string_view key) {
    const std::size_t length = CharacterCount(key);
    return length >= 8 && length <= kKeyTextBytes && IsAscii(key) &&
           (length < kKeyTextBytes || IsHexDigits(key));
}

ValidationResult CheckPskKey(std::string_view key) {
    if (IsValidPskKey(key)) return {};
    return {false, kMsgPskKey, MsgIcon::Warning, false, ValidationField::Text};
}

std::string WepKeyText(const WepKeysInput& input, int index) {
    if (index < 0 || index >= kWepKeyCount) return {};
    std::string_view key = input.keys[static_cast<std::size_t>(index)];
    if (index == 0) {
        while (!key.empty() && IsBlank(key.front())) key.remove_prefix(1);
    }
    return std::string(key);
}

WepCheck CheckWepKeys(const WepKeysInput& input) {
    for (int k = 0; k < kWepKeyCount; ++k) {
        const std::string key = WepKeyText(input, k);
        if (key.empty()) continue;
        const ValidationResult result =
            CheckOneWepKey(key, input.types[static_cast<std::size_t>(k)]);
        if (!result) return {result, k + 1};
    }
    const bool listed = input.default_key >= 1 && input.default_key <= kWepKeyCount;
    const int chosen = listed ? input.default_key : 1;
    if (WepKeyText(input, chosen - 1).empty())
        return {WepFailure(kMsgWepKeyMissing[chosen - 1]), chosen};
    return {};
}

}  // namespace fk
