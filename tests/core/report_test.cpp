#include "protocol/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace fk {
namespace {

std::vector<std::uint8_t> Pattern(std::size_t n) {
    std::vector<std::uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return out;
}

bool AllZeroFrom(const void* object, std::size_t size, std::size_t from) {
    const auto* bytes = static_cast<const std::uint8_t*>(object);
    for (std::size_t i = from; i < size; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

TEST(Decoders, CopyAtMostTheStructureAndZeroTheRest) {
    const struct {
        const char* name;
        std::size_t input;
        std::size_t structure;
        std::size_t copied;
    } cases[] = {
        {"report short", 100, sizeof(ap_report_stu), 100},
        {"report exact", 756, sizeof(ap_report_stu), 756},
        {"report over-long", 1456, sizeof(ap_report_stu), 756},
        {"keepalive short", 10, sizeof(keepalive_stu), 10},
        {"keepalive over-long", 500, sizeof(keepalive_stu), 40},
        {"scan over-long", 1456, sizeof(scan_reply_stu), 1414},
        {"scan empty", 0, sizeof(scan_reply_stu), 0},
    };
    for (const auto& c : cases) {
        const auto input = Pattern(c.input);
        std::vector<std::uint8_t> out(c.structure);
        const std::string name = c.name;
        if (name.starts_with("report")) {
            const auto r = DecodeReport(input);
            std::memcpy(out.data(), &r, sizeof(r));
        } else if (name.starts_with("keepalive")) {
            const auto r = DecodeKeepalive(input);
            std::memcpy(out.data(), &r, sizeof(r));
        } else {
            const auto r = DecodeScanReply(input);
            std::memcpy(out.data(), &r, sizeof(r));
        }
        EXPECT_TRUE(std::equal(input.begin(), input.begin() + c.copied, out.begin())) << c.name;
        EXPECT_TRUE(AllZeroFrom(out.data(), out.size(), c.copied)) << c.name;
    }
}

TEST(Decoders, ReportReadsUnalignedLittleEndianFields) {
    std::vector<std::uint8_t> p(756, 0);
    p[231] = 0x78;
    p[232] = 0x56;
    p[233] = 0x34;
    p[234] = 0x12;
    p[4] = 0x10;
    p[5] = 0x0E;
    const auto r = DecodeReport(p);
    // Packed fields are copied out first: a reference to them would be misaligned.
    const std::uint32_t key_time = r.wpapsk_key_time;
    const std::uint32_t up_time = r.up_time;
    EXPECT_EQ(key_time, 0x12345678u);
    EXPECT_EQ(up_time, 3600u);
}

TEST(Decoders, AnnouncementFormFollowsTheDeclaredLength) {
    // The payload area is always large; only the declared length tells the forms apart.
    auto area = Pattern(1456);
    const struct {
        std::size_t declared;
        std::size_t copied;
    } cases[] = {{20, 33}, {33, 33}, {34, 112}, {112, 112}, {1000, 112}};
    for (const auto& c : cases) {
        const auto h = DecodeAnnouncement(area, c.declared);
        EXPECT_EQ(std::memcmp(&h, area.data(), c.copied), 0) << c.declared;
        EXPECT_TRUE(AllZeroFrom(&h, sizeof(h), c.copied)) << c.declared;
    }
    // A short span never reads beyond itself even when the long form is declared.
    const std::vector<std::uint8_t> small(50, 0x41);
    const auto h = DecodeAnnouncement(small, 112);
    EXPECT_TRUE(AllZeroFrom(&h, sizeof(h), 50));
}

TEST(Decoders, ScanEntryCountIsNeverTrustedBeyondTheArea) {
    std::vector<std::uint8_t> p(1414, 0);
    p[2] = 200;
    EXPECT_EQ(DecodeScanReply(p).EntryCount(), kMaxScanEntries);
    p[2] = 5;
    EXPECT_EQ(DecodeScanReply(p).EntryCount(), 5u);
}

TEST(Decoders, ScanResultsKeepOnlyTheEntriesSentWithTheirSsidsMadeLocal) {
    const struct {
        const char* name;
        std::uint8_t claimed;
        std::size_t entries_sent;
        std::size_t kept;
        std::uint8_t icount;
    } cases[] = {
        {"as claimed", 3, 3, 3, 3},
        {"claims fewer", 1, 3, 1, 1},
        {"claims more than sent", 5, 2, 2, 5},
        {"claims more than fit", 200, 40, kMaxScanEntries, kMaxScanEntries},
        {"head only", 4, 0, 0, 4},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> payload = {2, 1, c.claimed};
        for (std::size_t i = 0; i < c.entries_sent; ++i) {
            scan_entry_stu e{};
            e.mac[5] = static_cast<std::uint8_t>(i);
            e.signal = -60;
            e.ssid.Assign(std::string(30, 's') + "\xE4\xB8");  // a character cut by the area
            const auto* b = reinterpret_cast<const std::uint8_t*>(&e);
            payload.insert(payload.end(), b, b + sizeof(e));
        }
        const ScanResults r = DecodeScanResults(payload);
        EXPECT_EQ(r.packet_count, 2) << c.name;
        EXPECT_EQ(r.packet_id, 1) << c.name;
        EXPECT_EQ(r.icount, c.icount) << c.name;
        ASSERT_EQ(r.entries.size(), c.kept) << c.name;
        for (std::size_t i = 0; i < c.kept; ++i) {
            EXPECT_EQ(r.entries[i].mac[5], i) << c.name;
            EXPECT_EQ(r.entries[i].signal, -60) << c.name;
            EXPECT_EQ(r.entries[i].ssid.View(), std::string(30, 's')) << c.name;
        }
    }
}

TEST(Utf8ToLocal, KeepsWholeCharactersAndDropsBrokenTails) {
    const std::string ideographs = "\xE4\xB8\xAD\xE6\x96\x87";  // two CJK ideographs
    std::string cut32(30, 'a');
    cut32 += "\xE4\xB8";  // a three-byte character cut at byte 32
    const struct {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"ascii", "Tower-7 west", "Tower-7 west"},
        {"empty", "", ""},
        {"two ideographs", ideographs, ideographs},
        {"cut at byte 32", cut32, std::string(30, 'a')},
        {"two-byte characters", "Caf\xC3\xA9 Nord", "Caf\xC3\xA9 Nord"},
        {"four-byte emoji", "ok\xF0\x9F\x93\xA1", "ok\xF0\x9F\x93\xA1"},
        {"emoji cut", "ok\xF0\x9F\x93", "ok"},
        {"stray continuation",
         "ab\x80"
         "cd",
         "ab"},
        {"lead without continuation",
         "ab\xC3"
         "cd",
         "ab"},
        {"overlong slash", "ab\xC0\xAF", "ab"},
        {"surrogate", "ab\xED\xA0\x80", "ab"},
        {"beyond U+10FFFF", "ab\xF4\x90\x80\x80", "ab"},
        {"invalid lead byte", "\xFFxyz", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToLocal(c.in), c.out) << c.name;
}

TEST(Utf8ToLocal, ConvertFieldRewritesTheLengthByte) {
    text32 field;
    std::string raw(31, 'n');
    raw += "\xC3";
    field.Assign(raw);
    ASSERT_EQ(field.len, 32);
    ConvertFieldToLocal(field);
    EXPECT_EQ(field.len, 31);
    EXPECT_EQ(field.View(), std::string(31, 'n'));
    EXPECT_EQ(field.text[31], '\0');
}

TEST(LocalToUtf8, FitsTheAreaWithoutSplittingACharacter) {
    const struct {
        std::string in;
        std::size_t area;
        std::string out;
    } cases[] = {
        {"Caf\xC3\xA9", 32, "Caf\xC3\xA9"},
        {"Caf\xC3\xA9", 4, "Caf"},
        {std::string(40, 'x'), 32, std::string(32, 'x')},
        {"\xE4\xB8\xAD\xE6\x96\x87", 5, "\xE4\xB8\xAD"},
    };
    for (const auto& c : cases) EXPECT_EQ(LocalToUtf8(c.in, c.area), c.out) << c.in;
    EXPECT_EQ(LocalToUtf8("\xE4\xB8\xAD"), "\xE4\xB8\xAD");
}

}  // namespace
}  // namespace fk
