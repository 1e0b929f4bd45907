#include "service/tftp_packet.h"

#include <algorithm>

namespace fk::tftp {
namespace {

std::uint16_t ReadU16(ByteView bytes, std::size_t at) {
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

void AppendU16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void AppendText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return text;
}

// Reads one zero-terminated string at `at` and moves past its terminator.
std::optional<std::string> NextText(ByteView bytes, std::size_t& at) {
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(at);
    const auto zero = std::find(begin, bytes.end(), std::uint8_t{0});
    if (zero == bytes.end()) return std::nullopt;
    std::string text(begin, zero);
    at = static_cast<std::size_t>(zero - bytes.begin()) + 1;
    return text;
}

// Name/value pairs up to the end. Some clients pad the request with zero bytes or
// cut it mid-option; what follows the last complete pair is ignored rather than
// refusing a request that would otherwise work.
std::vector<Option> ParseOptions(ByteView bytes, std::size_t at) {
    std::vector<Option> options;
    while (at < bytes.size()) {
        auto name = NextText(bytes, at);
        if (!name) break;
        auto value = NextText(bytes, at);
        if (!value) break;
        if (name->empty()) continue;
        options.push_back({Lower(std::move(*name)), std::move(*value)});
    }
    return options;
}

}  // namespace

std::optional<Opcode> PeekOpcode(ByteView packet) {
    if (packet.size() < 2) return std::nullopt;
    const std::uint16_t code = ReadU16(packet, 0);
    if (code < 1 || code > 6) return std::nullopt;
    return static_cast<Opcode>(code);
}

std::optional<Request> ParseRequest(ByteView packet) {
    const auto opcode = PeekOpcode(packet);
    if (opcode != Opcode::kReadRequest && opcode != Opcode::kWriteRequest) return std::nullopt;
    std::size_t at = 2;
    auto filename = NextText(packet, at);
    if (!filename || filename->empty()) return std::nullopt;
    auto mode = NextText(packet, at);
    if (!mode || mode->empty()) return std::nullopt;
    Request request;
    request.opcode = *opcode;
    request.filename = std::move(*filename);
    request.mode = Lower(std::move(*mode));
    request.options = ParseOptions(packet, at);
    return request;
}

std::optional<std::uint16_t> ParseAck(ByteView packet) {
    if (packet.size() < kHeaderSize || PeekOpcode(packet) != Opcode::kAck) return std::nullopt;
    return ReadU16(packet, 2);
}

std::optional<ErrorPacket> ParseError(ByteView packet) {
    if (packet.size() < kHeaderSize || PeekOpcode(packet) != Opcode::kError) return std::nullopt;
    ErrorPacket error;
    error.code = ReadU16(packet, 2);
    std::size_t at = kHeaderSize;
    // A message without its terminator is still worth showing.
    auto message = NextText(packet, at);
    error.message = message ? *message : std::string(packet.begin() + kHeaderSize, packet.end());
    return error;
}

std::optional<DataPacket> ParseData(ByteView packet) {
    if (packet.size() < kHeaderSize || PeekOpcode(packet) != Opcode::kData) return std::nullopt;
    return DataPacket{ReadU16(packet, 2), packet.subspan(kHeaderSize)};
}

std::optional<std::vector<Option>> ParseOptionAck(ByteView packet) {
    if (PeekOpcode(packet) != Opcode::kOptionAck) return std::nullopt;
    return ParseOptions(packet, 2);
}

void WriteDataHeader(std::span<std::uint8_t, kHeaderSize> out, std::uint16_t block) {
    out[0] = 0;
    out[1] = static_cast<std::uint8_t>(Opcode::kData);
    out[2] = static_cast<std::uint8_t>(block >> 8);
    out[3] = static_cast<std::uint8_t>(block & 0xFF);
}

Bytes BuildData(std::uint16_t block, ByteView payload) {
    Bytes out;
    out.reserve(kHeaderSize + payload.size());
    AppendU16(out, static_cast<std::uint16_t>(Opcode::kData));
    AppendU16(out, block);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes BuildAck(std::uint16_t block) {
    Bytes out;
    AppendU16(out, static_cast<std::uint16_t>(Opcode::kAck));
    AppendU16(out, block);
    return out;
}

Bytes BuildOptionAck(const std::vector<Option>& options) {
    Bytes out;
    AppendU16(out, static_cast<std::uint16_t>(Opcode::kOptionAck));
    for (const auto& option : options) {
        AppendText(out, option.name);
        AppendText(out, option.value);
    }
    return out;
}

Bytes BuildError(ErrorCode code, std::string_view message) {
    Bytes out;
    AppendU16(out, static_cast<std::uint16_t>(Opcode::kError));
    AppendU16(out, static_cast<std::uint16_t>(code));
    AppendText(out, message);
    return out;
}

Bytes BuildRequest(const Request& request) {
    Bytes out;
    AppendU16(out, static_cast<std::uint16_t>(request.opcode));
    AppendText(out, request.filename);
    AppendText(out, request.mode);
    for (const auto& option : request.options) {
        AppendText(out, option.name);
        AppendText(out, option.value);
    }
    return out;
}

}  // namespace fk::tftp
