#include "service/tftp_packet.h"

#include <gtest/gtest.h>

#include <string>

#include "service/tftp_options.h"

namespace fk::tftp {
namespace {

Bytes B(const std::string& text) {
    return Bytes(text.begin(), text.end());
}
// A literal with embedded zero bytes, all of it but the final terminator.
template <std::size_t N>
std::string W(const char (&text)[N]) {
    return std::string(text, N - 1);
}

TEST(TftpPacket, RequestsParseWithTheirOptions) {
    struct Case {
        std::string wire;
        Opcode opcode;
        std::string filename, mode;
        std::vector<Option> options;
    };
    const Case cases[] = {
        {W("\0\1fw.bin\0octet\0"), Opcode::kReadRequest, "fw.bin", "octet", {}},
        {W("\0\2up.bin\0NetASCII\0"), Opcode::kWriteRequest, "up.bin", "netascii", {}},
        {W("\0\1Dir/FW.bin\0OCTET\0BlkSize\0"
           "1468\0tsize\0"
           "0\0"),
         Opcode::kReadRequest,
         "Dir/FW.bin",
         "octet",
         {{"blksize", "1468"}, {"tsize", "0"}}},
        // Zero padding and an option cut short are ignored, not refused.
        {W("\0\1a\0octet\0\0\0"), Opcode::kReadRequest, "a", "octet", {}},
        {W("\0\1a\0octet\0timeout\0"
           "3\0blksize\0"),
         Opcode::kReadRequest,
         "a",
         "octet",
         {{"timeout", "3"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filename);
        const auto request = ParseRequest(B(c.wire));
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(request->opcode, c.opcode);
        EXPECT_EQ(request->filename, c.filename);
        EXPECT_EQ(request->mode, c.mode);
        EXPECT_EQ(request->options, c.options);
    }
}

TEST(TftpPacket, MalformedRequestsAreRejected) {
    const std::string bad[] = {
        W(""),
        W("\0"),
        W("\0\3a\0octet\0"),  // DATA is no request
        W("\0\1a"),           // unterminated name
        W("\0\1\0octet\0"),   // empty name
        W("\0\1a\0"),         // no mode
        W("\0\1a\0\0"),       // empty mode
        W("\0\1a\0oct"),      // unterminated mode
    };
    for (const auto& wire : bad) EXPECT_FALSE(ParseRequest(B(wire)).has_value()) << wire.size();
}

TEST(TftpPacket, ServerPacketsMatchKnownBytes) {
    const std::uint8_t payload[] = {'a', 'b'};
    EXPECT_EQ(BuildData(0x1234, payload), B(W("\0\3\x12\x34"
                                              "ab")));
    EXPECT_EQ(BuildData(0, {}), B(W("\0\3\0\0")));
    EXPECT_EQ(BuildOptionAck({{"blksize", "1468"}, {"tsize", "99"}}), B(W("\0\6blksize\0"
                                                                          "1468\0tsize\0"
                                                                          "99\0")));
    EXPECT_EQ(BuildError(ErrorCode::kUnknownTransferId, "Who?"), B(W("\0\5\0\5Who?\0")));
    EXPECT_EQ(BuildAck(0xFFFF), B(W("\0\4\xFF\xFF")));
}

TEST(TftpPacket, ClientPacketsParse) {
    EXPECT_EQ(ParseAck(B(W("\0\4\xFF\xFE"))), 0xFFFE);
    EXPECT_FALSE(ParseAck(B(W("\0\4\1"))).has_value());
    EXPECT_FALSE(ParseAck(B(W("\0\3\0\1"))).has_value());
    const auto error = ParseError(B(W("\0\5\0\x08no options\0")));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, 8);
    EXPECT_EQ(error->message, "no options");
    EXPECT_EQ(ParseError(B(W("\0\5\0\1cut")))->message, "cut");
    const auto data = ParseData(B(W("\0\3\1\0xyz")));
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->block, 256);
    EXPECT_EQ(data->payload.size(), 3u);
}

TEST(TftpOptions, NegotiationLowersRefusesOrEchoes) {
    struct Case {
        const char* what;
        std::vector<Option> asked;
        std::uint16_t block_size, window;
        int timeout_ms;
        std::vector<Option> acknowledged;
    };
    const Case cases[] = {
        {"no options: plain TFTP, no OACK", {}, 512, 1, 1000, {}},
        {"block size taken", {{"blksize", "1468"}}, 1468, 1, 1000, {{"blksize", "1468"}}},
        {"smallest block size", {{"blksize", "8"}}, 8, 1, 1000, {{"blksize", "8"}}},
        {"block size below 8 left out", {{"blksize", "7"}}, 512, 1, 1000, {}},
        {"block size lowered to the largest",
         {{"blksize", "65465"}},
         65464,
         1,
         1000,
         {{"blksize", "65464"}}},
        {"not a number", {{"blksize", "1k"}, {"timeout", "-1"}, {"tsize", ""}}, 512, 1, 1000, {}},
        {"transfer size answered", {{"tsize", "0"}}, 512, 1, 1000, {{"tsize", "123456"}}},
        {"timeout echoed", {{"timeout", "5"}}, 512, 1, 5000, {{"timeout", "5"}}},
        {"timeout out of range", {{"timeout", "0"}, {"timeout", "256"}}, 512, 1, 1000, {}},
        {"window taken", {{"windowsize", "16"}}, 512, 16, 1000, {{"windowsize", "16"}}},
        {"window 0 left out", {{"windowsize", "0"}}, 512, 1, 1000, {}},
        {"window lowered", {{"windowsize", "65535"}}, 512, 64, 1000, {{"windowsize", "64"}}},
        {"window bounded by bytes, block size later",
         {{"windowsize", "64"}, {"blksize", "65464"}},
         65464,
         2,
         1000,
         {{"windowsize", "2"}, {"blksize", "65464"}}},
        {"unknown and repeated options",
         {{"multicast", ""}, {"blksize", "1024"}, {"blksize", "2048"}},
         1024,
         1,
         1000,
         {{"blksize", "1024"}}},
        {"client order kept",
         {{"tsize", "0"}, {"blksize", "1428"}},
         1428,
         1,
         1000,
         {{"tsize", "123456"}, {"blksize", "1428"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Negotiation n = Negotiate(c.asked, 123456);
        EXPECT_EQ(n.block_size, c.block_size);
        EXPECT_EQ(n.window_size, c.window);
        EXPECT_EQ(n.timeout.count(), c.timeout_ms);
        EXPECT_EQ(n.timeout_fixed, c.timeout_ms != 1000);
        EXPECT_EQ(n.acknowledged, c.acknowledged);
    }
}

}  // namespace
}  // namespace fk::tftp
