#include "app/text_table.h"

#include <gtest/gtest.h>

namespace fk {
namespace {

TEST(TextTable, JsonTextEscapesAndReplacesBrokenUtf8) {
    const struct {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"plain", "eth0", R"("eth0")"},
        {"quote and backslash", "a\"b\\c", R"("a\"b\\c")"},
        {"line breaks and tab", "a\nb\rc\td", R"("a\nb\rc\td")"},
        {"other control bytes", std::string("\x01\x1f", 2) + std::string(1, '\0'),
         R"("\u0001\u001f\u0000")"},
        {"two, three and four byte characters kept", "caf\xc3\xa9 \xe5\x8c\x97 \xf0\x9f\x98\x80",
         "\"caf\xc3\xa9 \xe5\x8c\x97 \xf0\x9f\x98\x80\""},
        {"lone continuation byte",
         "a\x80"
         "b",
         R"("a\ufffdb")"},
        {"character cut at the end", "ab\xe5\x8c", R"("ab\ufffd\ufffd")"},
        {"overlong two byte form", "\xc0\xaf", R"("\ufffd\ufffd")"},
        {"overlong three byte form", "\xe0\x80\xaf", R"("\ufffd\ufffd\ufffd")"},
        {"surrogate", "\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"},
        {"never a lead byte", "\xf5\xff", R"("\ufffd\ufffd")"},
        {"lead byte followed by ascii",
         "\xc3"
         "A",
         R"("\ufffdA")"},
    };
    for (const auto& c : cases) EXPECT_EQ(JsonText(c.in), c.out) << c.name;
}

TEST(TextTable, FormatsEveryShape) {
    const TextRow header = {"ID", "N\xc3\xa9v", "Note"};
    const std::vector<TextRow> rows = {
        {"1", "\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97", "a,b"},
        {"22", "x", "say \"hi\"\nbye"},
        {"3"},
        {"4", "y", "z", "hidden"},
    };
    const struct {
        TextTableFormat format;
        std::string expected;
    } cases[] = {
        {TextTableFormat::Table,
         "ID  N\xc3\xa9v    Note\n"
         "1   \xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97  a,b\n"
         "22  x      say \"hi\"\nbye\n"
         "3          \n"
         "4   y      z\n"},
        {TextTableFormat::Csv,
         "ID,N\xc3\xa9v,Note\n"
         "1,\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97,\"a,b\"\n"
         "22,x,\"say \"\"hi\"\"\nbye\"\n"
         "3,,\n"
         "4,y,z\n"},
        {TextTableFormat::Json,
         "[\n"
         " {\"ID\": \"1\", \"N\xc3\xa9v\": \"\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97"
         "\xe5\x8c\x97\", \"Note\": \"a,b\"},\n"
         " {\"ID\": \"22\", \"N\xc3\xa9v\": \"x\", \"Note\": \"say \\\"hi\\\"\\nbye\"},\n"
         " {\"ID\": \"3\", \"N\xc3\xa9v\": \"\", \"Note\": \"\"},\n"
         " {\"ID\": \"4\", \"N\xc3\xa9v\": \"y\", \"Note\": \"z\"}\n"
         "]\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTextRows(header, rows, c.format), c.expected) << static_cast<int>(c.format);
    }
}

TEST(TextTable, NoRowsLeavesTheHeaderOnly) {
    const TextRow header = {"A", "B, C"};
    EXPECT_EQ(FormatTextRows(header, {}, TextTableFormat::Table), "A  B, C\n");
    EXPECT_EQ(FormatTextRows(header, {}, TextTableFormat::Csv), "A,\"B, C\"\n");
    EXPECT_EQ(FormatTextRows(header, {}, TextTableFormat::Json), "[]\n");
}

TEST(TextTable, ParsesOnlyTheThreeFormatNames) {
    const struct {
        std::string text;
        bool ok;
        TextTableFormat format;
    } cases[] = {
        {"table", true, TextTableFormat::Table}, {"csv", true, TextTableFormat::Csv},
        {"json", true, TextTableFormat::Json},   {"JSON", false, TextTableFormat::Csv},
        {"", false, TextTableFormat::Csv},       {"tables", false, TextTableFormat::Csv},
    };
    for (const auto& c : cases) {
        TextTableFormat format = TextTableFormat::Csv;
        EXPECT_EQ(ParseTextTableFormat(c.text, format), c.ok) << c.text;
        EXPECT_EQ(format, c.format) << c.text;
    }
}

}  // namespace
}  // namespace fk
