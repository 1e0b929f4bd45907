#include "operations/port_holders.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fk {
namespace {

// "sl local_address rem_address st ..." with the inode tenth; the local address is
// hex address, a colon and the hex port.
constexpr int kInodeField = 9;

bool ReadHex(std::string_view text, std::uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size();
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// inode -> pid for every socket descriptor of every process this user may look at.
std::map<std::uint64_t, int> SocketOwners() {
    std::map<std::uint64_t, int> owners;
    std::error_code ec;
    for (const auto& process : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string name = process.path().filename().string();
        int pid = 0;
        if (std::from_chars(name.data(), name.data() + name.size(), pid).ec != std::errc())
            continue;
        std::error_code fd_ec;
        for (const auto& fd : std::filesystem::directory_iterator(process.path() / "fd", fd_ec)) {
            std::error_code link_ec;
            const std::string target = std::filesystem::read_symlink(fd.path(), link_ec).string();
            constexpr std::string_view kSocket = "socket:[";
            if (link_ec || !target.starts_with(kSocket) || target.back() != ']') continue;
            std::uint64_t inode = 0;
            const char* first = target.data() + kSocket.size();
            if (std::from_chars(first, target.data() + target.size() - 1, inode).ec == std::errc())
                owners.emplace(inode, pid);
        }
    }
    return owners;
}

std::string ProcessName(int pid) {
    std::string name = ReadFile("/proc/" + std::to_string(pid) + "/comm");
    while (!name.empty() && (name.back() == '\n' || name.back() == ' ')) name.pop_back();
    return name;
}

}  // namespace

std::vector<UdpSocketEntry> ParseProcNetUdp(std::string_view text) {
    std::vector<UdpSocketEntry> out;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<std::string> f;
        std::string field;
        while (fields >> field && f.size() <= kInodeField) f.push_back(field);
        if (f.size() <= kInodeField) continue;
        const std::size_t colon = f[1].rfind(':');
        std::uint64_t port = 0;
        std::uint64_t inode = 0;
        if (colon == std::string::npos ||
            !ReadHex(std::string_view(f[1]).substr(colon + 1), port) || port > 0xFFFF)
            continue;
        if (std::from_chars(f[kInodeField].data(), f[kInodeField].data() + f[kInodeField].size(),
                            inode)
                .ec != std::errc())
            continue;
        out.push_back({static_cast<std::uint16_t>(port), inode});
    }
    return out;
}

std::vector<PortHolder> FindPortHolders(std::span<const std::uint16_t> ports, int own_pid) {
    std::vector<UdpSocketEntry> sockets = ParseProcNetUdp(ReadFile("/proc/net/udp"));
    const std::vector<UdpSocketEntry> v6 = ParseProcNetUdp(ReadFile("/proc/net/udp6"));
    sockets.insert(sockets.end(), v6.begin(), v6.end());
    std::erase_if(sockets, [&](const UdpSocketEntry& s) {
        return std::find(ports.begin(), ports.end(), s.port) == ports.end();
    });
    if (sockets.empty()) return {};
    const std::map<std::uint64_t, int> owners = SocketOwners();
    std::vector<PortHolder> holders;
    for (const UdpSocketEntry& s : sockets) {
        const auto owner = owners.find(s.inode);
        const int pid = owner == owners.end() ? 0 : owner->second;
        if (pid != 0 && pid == own_pid) continue;
        const bool known = std::any_of(holders.begin(), holders.end(), [&](const PortHolder& h) {
            return h.port == s.port && h.pid == pid;
        });
        if (!known) holders.push_back({s.port, pid, pid == 0 ? "" : ProcessName(pid)});
    }
    return holders;
}

}  // namespace fk
