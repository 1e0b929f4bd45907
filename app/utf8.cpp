#include "app/utf8.h"

namespace fk {
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return 0;
    const auto b0 = static_cast<unsigned char>(text[pos]);
    if (b0 < 0x80) return 1;
    std::size_t len = 0;
    // The second byte's range is what rules out overlong forms, surrogates and code
    // points beyond U+10FFFF.
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (pos + len > text.size()) return 0;
    const auto b1 = static_cast<unsigned char>(text[pos + 1]);
    if (b1 < lo || b1 > hi) return 0;
    for (std::size_t i = 2; i < len; ++i) {
        if (StartsUtf8Character(text[pos + i])) return 0;
    }
    return len;
}

bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& cp) {
    const std::size_t len = Utf8SequenceLength(text, pos);
    if (len == 0) return false;
    constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    cp = static_cast<unsigned char>(text[pos]) & kLeadBits[len];
    for (std::size_t i = 1; i < len; ++i) {
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    }
    pos += len;
    return true;
}

std::size_t Utf8ValidPrefixLength(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t n = Utf8SequenceLength(text, pos);
        if (n == 0) break;
        pos += n;
    }
    return pos;
}

std::string CutUtf8(std::string_view text, std::size_t max_bytes) {
    if (text.size() <= max_bytes) return std::string(text);
    return std::string(text.substr(0, Utf8ValidPrefixLength(text.substr(0, max_bytes))));
}

}  // namespace fk
