#include "service/server_config.h"

#include <limits.h>

#include "app/ini_file.h"

namespace fk::tftp {
namespace {

std::optional<std::uint16_t> PortNumber(const std::string& text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace

std::optional<ServerConfig> LoadServerConfig(const std::string& ini_path, std::string* error) {
    const CIniFile ini = CIniFile::Load(ini_path);
    auto fail = [&](std::string why) -> std::optional<ServerConfig> {
        if (error) *error = ini_path + ": " + std::move(why);
        return std::nullopt;
    };
    ServerConfig config;
    config.directory = ini.Read("SERVER", "Directory", "", PATH_MAX);
    if (config.directory.empty()) return fail("no Directory in section SERVER");
    if (config.directory.front() != '/') {
        config.directory = FolderOf(ini_path) + config.directory;
    }
    if (const auto port = ini.Find("SERVER", "Port")) {
        const auto number = PortNumber(*port);
        if (!number) return fail("Port is not a port number: " + *port);
        config.port = *number;
    }
    return config;
}

}  // namespace fk::tftp
