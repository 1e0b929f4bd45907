// The key rules of wireless security: the pre-shared key of the WPA modes and the
// four WEP keys. The wireless tab and the bridge wizard check keys with these, so a
// key one accepts the other never refuses.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/language.h"
#include "config/validation.h"

namespace fk {

inline constexpr const char* kMsgPskKey =
    FK_TR("Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!");
inline constexpr const char* kMsgWepAsciiLength =
    FK_TR("WEP key is invalid! Please enter 5 or 13 ASCII characters!");
inline constexpr const char* kMsgWepAsciiCharacters =
    FK_TR("WEP key includes invalid characters (It should only include 0-9,a-z,A-Z,@,*,- and _.)!");
inline constexpr const char* kMsgWepHex =
    FK_TR("WEP key is invalid! Please enter 10 or 26 HEX characters!");
inline constexpr const char* kMsgWepKeyMissing[4] = {
    FK_TR("Please enter the WEP key1!"), FK_TR("Please enter the WEP key2!"),
    FK_TR("Please enter the WEP key3!"), FK_TR("Please enter the WEP key4!")};

enum WepKeyType : int { kWepAscii = 0, kWepHex = 1 };

struct WepKeysInput {
    int auth_type = 0;    // 0 Open, 1 Share
    int default_key = 1;  // 1 to 4
    std::array<std::string, 4> keys;
    std::array<int, 4> types{};  // WepKeyType of each key
};

// 8 to 64 ASCII characters; 64 of them only as hex digits, the raw form of the key.
bool IsValidPskKey(std::string_view key);
ValidationResult CheckPskKey(std::string_view key);

// The key as it is checked and sent: key 1 loses its leading blanks, which a user
// pasting it cannot see, the others stay as typed.
std::string WepKeyText(const WepKeysInput& input, int index);

struct WepCheck {
    ValidationResult result;
    int key = 0;  // 1 to 4: the key the message is about
};
// Every key that is not empty by its type, then the default key must not be empty.
WepCheck CheckWepKeys(const WepKeysInput& input);

}  // namespace fk
