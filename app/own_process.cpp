#include "app/own_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace fk {
namespace {

std::string Canonical(const std::string& path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) != nullptr ? std::string(buf) : path;
}

}  // namespace

std::string ExecutableOf(pid_t pid) {
    char buf[PATH_MAX];
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    const ssize_t n = readlink(link.c_str(), buf, sizeof(buf));
    if (n <= 0 || n >= static_cast<ssize_t>(sizeof(buf))) return {};
    return std::string(buf, static_cast<std::size_t>(n));
}

bool SameExecutable(const std::string& reported, const std::string& expected) {
    if (reported.empty() || expected.empty()) return false;
    return reported == expected || reported == expected + " (deleted)";
}

ForeignEnd EndIfOurs(pid_t pid, const std::string& executable, const EndPolicy& policy) {
    // 0, -1 and below address process groups; 1 is init; ourselves we never end.
    if (pid <= 1 || pid == getpid()) return ForeignEnd::kNotOurs;
    const int pidfd = OpenProcessFd(pid);
    if (pidfd < 0) return errno == ESRCH ? ForeignEnd::kNotRunning : ForeignEnd::kNotOurs;
    const std::string reported = ExecutableOf(pid);
    // The pidfd pins the process it was opened on. If that process is still alive
    // after the path was read, the path was its own and not a newcomer's that took
    // over the number in between.
    ForeignEnd result = ForeignEnd::kNotOurs;
    if (SignalProcess(pidfd, 0) != 0) {
        result = ForeignEnd::kNotRunning;
    } else if (SameExecutable(reported, Canonical(executable))) {
        result = SignalUntilEnded(pidfd, policy) ? ForeignEnd::kEnded : ForeignEnd::kStillRunning;
        // It may be a child of ours after all (a test, an earlier start in this run).
        (void)waitpid(pid, nullptr, WNOHANG);
    }
    close(pidfd);
    return result;
}

}  // namespace fk
