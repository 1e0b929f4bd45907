// TFTP datagrams as bytes: requests with their options parsed, the server's DATA,
// OACK and ERROR built. Nothing here touches a socket; every number on the wire is
// big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fk::tftp {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

enum class Opcode : std::uint16_t {
    kReadRequest = 1,
    kWriteRequest = 2,
    kData = 3,
    kAck = 4,
    kError = 5,
    kOptionAck = 6,
};

enum class ErrorCode : std::uint16_t {
    kNotDefined = 0,
    kFileNotFound = 1,
    kAccessViolation = 2,
    kDiskFull = 3,
    kIllegalOperation = 4,
    kUnknownTransferId = 5,
    kFileExists = 6,
    kNoSuchUser = 7,
    kOptionRefused = 8,
};

inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::uint16_t kDefaultBlockSize = 512;

struct Option {
    std::string name;  // lower-cased: option names match without regard to case
    std::string value;
    bool operator==(const Option&) const = default;
};

struct Request {
    Opcode opcode = Opcode::kReadRequest;
    std::string filename;
    std::string mode;  // lower-cased
    std::vector<Option> options;
};

struct ErrorPacket {
    std::uint16_t code = 0;
    std::string message;
};

struct DataPacket {
    std::uint16_t block = 0;
    ByteView payload;
};

std::optional<Opcode> PeekOpcode(ByteView packet);
// RRQ or WRQ; nullopt when the file name or mode is missing or unterminated.
std::optional<Request> ParseRequest(ByteView packet);
std::optional<std::uint16_t> ParseAck(ByteView packet);
std::optional<ErrorPacket> ParseError(ByteView packet);
std::optional<DataPacket> ParseData(ByteView packet);
std::optional<std::vector<Option>> ParseOptionAck(ByteView packet);

// The four header bytes of a DATA packet, written in place so that a block can be
// read from the file straight behind them.
void WriteDataHeader(std::span<std::uint8_t, kHeaderSize> out, std::uint16_t block);
Bytes BuildData(std::uint16_t block, ByteView payload);
Bytes BuildAck(std::uint16_t block);
Bytes BuildOptionAck(const std::vector<Option>& options);
Bytes BuildError(ErrorCode code, std::string_view message);
Bytes BuildRequest(const Request& request);

}  // namespace fk::tftp
