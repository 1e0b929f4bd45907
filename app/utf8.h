// The one reading of UTF-8 every layer shares: device texts, names typed by the user,
// JSON output. Well formed means no overlong forms, no surrogates and nothing above
// U+10FFFF, so a text that passes here passes every reader downstream.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fk {

// False for a continuation byte: counting the bytes that start a character counts
// characters, whether or not the text is well formed.
inline bool StartsUtf8Character(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Byte count of the character starting at `text[pos]` when it is complete and well
// formed; 0 otherwise, and 0 when `pos` is at or past the end.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

// Reads the character at `pos` into `cp` and moves `pos` past it; false, with `pos`
// unchanged, for a broken one.
bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& cp);

// Byte count of the longest prefix made of whole, well-formed characters.
std::size_t Utf8ValidPrefixLength(std::string_view text);

// The text when it fits in `max_bytes`; otherwise its longest well-formed prefix that
// does, so a cut never leaves half a character behind.
std::string CutUtf8(std::string_view text, std::size_t max_bytes);

}  // namespace fk
