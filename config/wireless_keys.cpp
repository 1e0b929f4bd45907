#include "config/wireless_keys.h"

#include "app/utf8.h"

namespace fk {
namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool AllAscii(std::string_view text) {
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0 || b >= 0x80) return false;
    }
    return true;
}

bool AllHex(std::string_view text) {
    for (char c : text)
        if (!IsHexDigit(c)) return false;
    return true;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (char c : text) n += StartsUtf8Character(c) ? 1 : 0;
    return n;
}

// WEP messages are shown under the program's title.
ValidationResult WepFailure(const char* message) {
    return {false, message, MsgIcon::Warning, true, ValidationField::Text};
}

ValidationResult CheckOneWepKey(std::string_view key, int type) {
    const std::size_t length = CharacterCount(key);
    if (type == kWepHex) {
        if ((length != 10 && length != 26) || !AllHex(key)) return WepFailure(kMsgWepHex);
        return {};
    }
    if (length != 5 && length != 13) return WepFailure(kMsgWepAsciiLength);
    if (!AllAscii(key)) return WepFailure(kMsgWepAsciiCharacters);
    return {};
}

}  // namespace

bool IsValidPskKey(std::string_view key) {
    if (key.size() < 8 || key.size() > 64 || !AllAscii(key)) return false;
    return key.size() < 64 || AllHex(key);
}

ValidationResult CheckPskKey(std::string_view key) {
    if (IsValidPskKey(key)) return {};
    return {false, kMsgPskKey, MsgIcon::Warning, false, ValidationField::Text};
}

std::string WepKeyText(const WepKeysInput& input, int index) {
    if (index < 0 || index > 3) return {};
    std::string_view key = input.keys[static_cast<std::size_t>(index)];
    if (index == 0) {
        const auto first = key.find_first_not_of(" \t\r\n\f\v");
        key = first == std::string_view::npos ? std::string_view{} : key.substr(first);
    }
    return std::string(key);
}

WepCheck CheckWepKeys(const WepKeysInput& input) {
    for (int k = 0; k < 4; ++k) {
        const std::string key = WepKeyText(input, k);
        if (key.empty()) continue;
        const ValidationResult result =
            CheckOneWepKey(key, input.types[static_cast<std::size_t>(k)]);
        if (!result) return {result, k + 1};
    }
    const int chosen = input.default_key >= 1 && input.default_key <= 4 ? input.default_key : 1;
    if (WepKeyText(input, chosen - 1).empty())
        return {WepFailure(kMsgWepKeyMissing[chosen - 1]), chosen};
    return {};
}

}  // namespace fk
