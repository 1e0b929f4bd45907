// Ending a process that this run did not start - a file server left behind by a
// crashed run - only when it can be proven ours: the kernel must report our own
// executable for it. A number from a PID file alone proves nothing, since numbers
// are reused, and anything that cannot be proven ours is left alone.
#pragma once

#include <sys/types.h>

#include <string>

#include "app/process_control.h"

namespace fk {

enum class ForeignEnd {
    kNotRunning,    // no such process
    kNotOurs,       // running, but not provably our executable: left alone
    kEnded,         // ours, and now ended
    kStillRunning,  // ours, but it outlived every signal
};

// The executable the kernel reports for a process; empty when it cannot be read.
std::string ExecutableOf(pid_t pid);
// A running binary replaced on disk (a rebuild, an update) still counts as the path.
bool SameExecutable(const std::string& reported, const std::string& expected);
ForeignEnd EndIfOurs(pid_t pid, const std::string& executable, const EndPolicy& policy = {});

}  // namespace fk
