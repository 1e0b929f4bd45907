#include "app/text_table.h"

#include <gtest/gtest.h>

namespace fk {
namespace {

// Whatever a device or adapter text holds, the document loads again, valid text
// comes back unchanged and what is not UTF-8 comes back as U+FFFD.
TEST(TextTable, JsonDocumentLoadsAgainWhateverTheTextHolds) {
    const std::string kReplacement = "\xef\xbf\xbd";
    const struct {
        const char* name;
        std::string in;
        std::string back;
    } cases[] = {
        {"plain", "eth0", "eth0"},
        {"quote and backslash", "a\"b\\c", "a\"b\\c"},
        {"line breaks and tab", "a\nb\rc\td", "a\nb\rc\td"},
        {"other control bytes", std::string("\x01\x1f", 2) + std::string(1, '\0'),
         std::string("\x01\x1f", 2) + std::string(1, '\0')},
        {"two, three and four byte characters kept", "caf\xc3\xa9 \xe5\x8c\x97 \xf0\x9f\x98\x80",
         "caf\xc3\xa9 \xe5\x8c\x97 \xf0\x9f\x98\x80"},
        {"lone continuation byte",
         "a\x80"
         "b",
         "a" + kReplacement + "b"},
        {"character cut at the end", "ab\xe5\x8c", "ab" + kReplacement},
        {"never a lead byte", "\xf5", kReplacement},
        {"lead byte followed by ascii",
         "\xc3"
         "A",
         kReplacement + "A"},
    };
    for (const auto& c : cases) {
        const std::string document = JsonDocument(Json{{"name", c.in}});
        ASSERT_TRUE(Json::accept(document)) << c.name;
        EXPECT_EQ(Json::parse(document)["name"], c.back) << c.name;
    }
}

TEST(TextTable, CsvLineQuotesOnlyWhereNeeded) {
    const struct {
        TextRow cells;
        std::string line;
    } cases[] = {
        {{"a", "b"}, "a,b\n"},
        {{"a,b"}, "\"a,b\"\n"},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\"\n"},
        {{"two\nlines", "cr\r"}, "\"two\nlines\",\"cr\r\"\n"},
        {{"", ""}, ",\n"},
        {{"\xe5\x8c\x97"}, "\xe5\x8c\x97\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(CsvLine(c.cells), c.line) << c.line;
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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTextRows(header, rows, c.format), c.expected) << static_cast<int>(c.format);
    }
    // The JSON form: one object per row, keyed by the header in its order.
    const Json json = Json::parse(FormatTextRows(header, rows, TextTableFormat::Json));
    const Json expected = Json::parse(
        "[{\"ID\": \"1\", \"N\xc3\xa9v\": \"\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97\xe5\x8c\x97"
        "\xe5\x8c\x97\", \"Note\": \"a,b\"},"
        " {\"ID\": \"22\", \"N\xc3\xa9v\": \"x\", \"Note\": \"say \\\"hi\\\"\\nbye\"},"
        " {\"ID\": \"3\", \"N\xc3\xa9v\": \"\", \"Note\": \"\"},"
        " {\"ID\": \"4\", \"N\xc3\xa9v\": \"y\", \"Note\": \"z\"}]");
    EXPECT_EQ(json, expected);
    EXPECT_EQ(json[0].begin().key(), "ID");
}

TEST(TextTable, NoRowsLeavesTheHeaderOnly) {
    const TextRow header = {"A", "B, C"};
    EXPECT_EQ(FormatTextRows(header, {}, TextTableFormat::Table), "A  B, C\n");
    EXPECT_EQ(FormatTextRows(header, {}, TextTableFormat::Csv), "A,\"B, C\"\n");
    EXPECT_EQ(Json::parse(FormatTextRows(header, {}, TextTableFormat::Json)), Json::array());
}

}  // namespace
}  // namespace fk
