#include "app/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fk {
namespace {

TEST(Utf8SequenceLength, MeasuresTheCharacterAtAPositionInsideTheText) {
    const std::string text = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x93\xA1\xB8";
    const struct {
        std::size_t pos;
        std::size_t len;
    } cases[] = {{0, 1}, {1, 2}, {2, 0}, {3, 3}, {6, 4}, {10, 0}, {11, 0}, {99, 0}};
    for (const auto& c : cases) EXPECT_EQ(Utf8SequenceLength(text, c.pos), c.len) << c.pos;
    EXPECT_EQ(Utf8SequenceLength(std::string_view(text).substr(0, 5), 3), 0u);
}

TEST(DecodeUtf8, ReadsWellFormedCharactersAndStopsAtABrokenOne) {
    const struct {
        const char* name;
        std::string text;
        std::vector<char32_t> decoded;  // up to the first broken character
        std::size_t stopped_at;
    } cases[] = {
        {"ascii", "ab", {'a', 'b'}, 2},
        {"every length", "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x93\xA1", {'a', 0xE9, 0x4E2D, 0x1F4E1}, 10},
        {"highest code point", "\xF4\x8F\xBF\xBF", {0x10FFFF}, 4},
        {"overlong", "a\xC0\xAF", {'a'}, 1},
        {"overlong three bytes", "\xE0\x80\xAF", {}, 0},
        {"surrogate", "\xED\xA0\x80", {}, 0},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", {}, 0},
        {"cut", "ab\xE4\xB8", {'a', 'b'}, 2},
        {"stray continuation", "\x80", {}, 0},
    };
    for (const auto& c : cases) {
        std::vector<char32_t> got;
        std::size_t pos = 0;
        char32_t cp = 0;
        while (DecodeUtf8(c.text, pos, cp)) got.push_back(cp);
        EXPECT_EQ(got, c.decoded) << c.name;
        EXPECT_EQ(pos, c.stopped_at) << c.name;
    }
}

TEST(CutUtf8, FitsTheLimitWithoutLeavingHalfACharacter) {
    const std::string ideograph = "\xE4\xB8\xAD";
    const struct {
        std::string text;
        std::size_t max;
        std::string cut;
    } cases[] = {
        {"abc", 3, "abc"},
        {"abcd", 3, "abc"},
        {"a" + ideograph, 4, "a" + ideograph},
        {"a" + ideograph, 3, "a"},
        {"a" + ideograph, 1, "a"},
        {ideograph + ideograph, 5, ideograph},
        {"", 0, ""},
        {"ab\xFF", 3, "ab\xFF"},  // short enough: nothing to cut, kept as given
        {"ab\xFF"
         "cd",
         4, "ab"},  // a cut never keeps a broken byte
    };
    for (const auto& c : cases) EXPECT_EQ(CutUtf8(c.text, c.max), c.cut) << c.text << "/" << c.max;
}

}  // namespace
}  // namespace fk
