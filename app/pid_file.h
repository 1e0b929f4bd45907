// The file server's PID file: one decimal number and a newline. It is a hint where to
// look, never proof: see own_process.h.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace fk {

// Written whole or not at all (a temporary file renamed over it).
bool WritePidFile(const std::string& path, pid_t pid, std::string* error);
// nullopt when missing or not exactly one number above 1.
std::optional<pid_t> ReadPidFile(const std::string& path);
void RemovePidFile(const std::string& path);

}  // namespace fk
