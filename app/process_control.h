// Starting a helper program hidden and ending it again. Each process is held by a
// pidfd from the moment it is known: a signal through it reaches that process or
// none, never another one that was given the same number after it ended.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace fk {

struct StartRequest {
    std::string program;                 // a path; PATH is not searched
    std::vector<std::string> arguments;  // after the program's name
    std::string work_dir;                // empty: the caller's
    int pass_fd = -1;                    // handed to the program as descriptor 3
};

struct EndPolicy {
    std::chrono::milliseconds grace{1000};  // after each signal, before the next
    int tries = 3;                          // one SIGTERM, then SIGKILLs
};

// A program this process started. It runs in a session of its own (no terminal),
// with standard input and output on /dev/null and no other descriptor of ours.
// Ending it, or seeing it end, reaps it; the destructor ends one still running.
class CChildProcess {
  public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(CChildProcess&& other) noexcept;
    CChildProcess& operator=(CChildProcess&& other) noexcept;
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Does not wait for the program; false (with the reason) when it cannot start.
    bool Start(const StartRequest& request, std::string* error);
    pid_t Pid() const { return pid_; }
    bool Running();
    // Waits up to `within` for the program to end by itself; its exit status if it did.
    std::optional<int> WaitForExit(std::chrono::milliseconds within);
    // Exit code of a program that exited, 128 + the signal of one that was killed.
    std::optional<int> ExitStatus() const { return exit_status_; }
    // True once the program has ended (also when it had already).
    bool End(const EndPolicy& policy = {});

  private:
    bool Reap(bool block);
    void Release();

    pid_t pid_ = -1;
    int pidfd_ = -1;
    std::optional<int> exit_status_;
};

// The low-level steps, shared with ending a process that is not our child.
int OpenProcessFd(pid_t pid);
// 0 when sent; signal 0 only asks whether the process still lives.
int SignalProcess(int pidfd, int signal);
bool WaitForProcessEnd(int pidfd, std::chrono::milliseconds within);
bool SignalUntilEnded(int pidfd, const EndPolicy& policy);

}  // namespace fk
