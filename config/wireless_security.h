// The security part of the wireless tab as a rule: the seven modes, the fields each
// mode shows, the checks Save makes and the bytes each mode writes. Only the chosen
// mode's bytes are written; every other mode keeps what the device last reported, so
// switching back and forth loses nothing the device holds.
//
// The key rules here (pre-shared key, WEP keys) are the bridge wizard's as well: the
// key a station is given for its access point passes exactly where the same key
// passes on the tab.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "app/language.h"
#include "config/choice_list.h"
#include "config/pane_rejection.h"
#include "config/validation.h"
#include "protocol/report.h"

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

enum SecureMode : int {
    kSecureNone = 0,
    kSecureWep = 1,
    kSecureWpaPsk = 2,
    kSecureWpa2Psk = 3,
    kSecureMixedPsk = 4,
    kSecureWpa = 5,
    kSecureWpa2 = 6,
};

enum PskCipher : int { kCipherAes = 0, kCipherTkip = 1, kCipherTkipAes = 2 };

// Fields a security check may send the focus to.
enum SecurityField : int {
    kSecurityFieldNone = 0,
    kSecurityFieldPskKeyTime = 100,
    kSecurityFieldRadiusKeyTime,
};

inline constexpr int kWepKeyCount = 4;
inline constexpr std::size_t kKeyTimeDigits = 5;
inline constexpr std::size_t kRadiusPortDigits = 5;

struct WepKeyInput {
    std::string text;
    ChoiceList type;  // ASCII (0) or Hex (1)
};

struct SecurityPaneInput {
    ChoiceList mode;
    int psk_cipher = kCipherAes;
    std::string psk_key;
    std::string psk_key_time;
    ChoiceList wep_auth;     // Open (0) or Share (1)
    ChoiceList wep_default;  // Key 1 to Key 4, codes 1 to 4
    std::array<WepKeyInput, kWepKeyCount> wep_keys;
    ChoiceList radius_cipher;  // AES (0), TKIP (1), AES/TKIP (2)
    std::string radius_server;
    std::string radius_port;
    std::string radius_key;
    std::string radius_key_time;
};

// Which inputs a mode shows. A mode the rules do not know (a stored code outside 0 to
// 6) shows none and writes nothing.
struct SecurityVisibility {
    bool psk = false;
    bool psk_tkip_aes = false;  // the TKIP&AES button is shown with the others but may be off
    bool wep = false;
    bool radius = false;
};

SecurityVisibility SecurityVisibilityFor(int mode_code);
SecurityPaneInput SecurityPaneShown(const ap_report_stu& report);
// The mode at position `index` of the list chosen; WPA-PSK has no TKIP&AES.
void ChooseSecurityMode(SecurityPaneInput& input, int index);
int SelectedSecureMode(const SecurityPaneInput& input, int stored);

// The checks of the selected mode, in their order; the first failure is returned.
std::optional<PaneRejection> CheckSecurity(const SecurityPaneInput& input);
// Writes secure_mode and the selected mode's fields over `report`; call after the
// checks passed.
void WriteSecurity(const SecurityPaneInput& input, ap_report_stu& report);

// Key 1 as the checks read it and the block carries it: without leading white space.
std::string WepKeyAsSent(const SecurityPaneInput& input, int k);

// The key rules themselves, on plain values, for every caller that has keys to check.

// 8 to 64 ASCII characters; 64 of them only as hex digits, the raw form of the key.
bool IsValidPskKey(std::string_view key);
// Refused untitled; the key-update interval is not part of the key and not checked here.
ValidationResult CheckPskKey(std::string_view key);

enum WepKeyType : int { kWepAscii = 0, kWepHex = 1 };

struct WepKeysInput {
    int auth_type = 0;    // 0 Open, 1 Share
    int default_key = 1;  // 1 to 4; any other value counts as key 1
    std::array<std::string, kWepKeyCount> keys;
    std::array<int, kWepKeyCount> types{};  // WepKeyType of each key
};

// The key as it is checked and sent: key 1 loses its leading blanks, which a user
// pasting it cannot see, the others stay as typed.
std::string WepKeyText(const WepKeysInput& input, int index);

struct WepCheck {
    ValidationResult result;  // refused under the program's title
    int key = 0;              // 1 to 4: the key the message is about
};
// Every key that is not empty by its type, then the default key must not be empty.
WepCheck CheckWepKeys(const WepKeysInput& input);

}  // namespace fk
