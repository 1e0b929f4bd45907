#include "app/pid_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/ini_file.h"

namespace fk {

bool WritePidFile(const std::string& path, pid_t pid, std::string* error) {
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << pid << '\n';
        if (!out.flush()) {
            if (error) *error = temporary + ": " + std::strerror(errno);
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (error) *error = path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<pid_t> ReadPidFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string number(TrimBlanks(text.str()));
    // Seven digits hold the largest number the kernel hands out (4194304).
    if (number.empty() || number.size() > 7) return std::nullopt;
    pid_t pid = 0;
    for (char c : number) {
        if (c < '0' || c > '9') return std::nullopt;
        pid = pid * 10 + (c - '0');
    }
    if (pid <= 1) return std::nullopt;
    return pid;
}

void RemovePidFile(const std::string& path) {
    std::remove(path.c_str());
}

}  // namespace fk
