// FileServer.ini: section SERVER, key Directory (the only folder served; a relative
// path is taken from the file's own folder) and key Port (69 when absent).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fk::tftp {

inline constexpr std::uint16_t kDefaultPort = 69;

struct ServerConfig {
    std::string directory;
    std::uint16_t port = kDefaultPort;
};

// nullopt (with the reason) when Directory is missing or Port is not a port number.
std::optional<ServerConfig> LoadServerConfig(const std::string& ini_path, std::string* error);

}  // namespace fk::tftp
