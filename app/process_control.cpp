#include "app/process_control.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

// glibc 2.36 (Debian 12) declares these without C linkage for C++.
extern "C" {
#include <sys/pidfd.h>
}

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

extern char** environ;

namespace fk {
namespace {

using Clock = std::chrono::steady_clock;

class SpawnSetup {
  public:
    explicit SpawnSetup(const StartRequest& request) {
        posix_spawnattr_init(&attr_);
        posix_spawn_file_actions_init(&actions_);
        // A session of its own: no controlling terminal, and a Ctrl+C in the
        // terminal the controller was started from does not reach it.
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int s : {SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGCHLD}) sigaddset(&defaults, s);
        // Signals the caller blocks or ignores (a GUI often does) must not stay
        // blocked in the child, or SIGTERM would never end it.
        posix_spawnattr_setsigmask(&attr_, &none);
        posix_spawnattr_setsigdefault(&attr_, &defaults);
        posix_spawnattr_setflags(
            &attr_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions_, 1, 2);
        int first_closed = 3;
        if (request.pass_fd >= 0) {
            posix_spawn_file_actions_adddup2(&actions_, request.pass_fd, 3);
            first_closed = 4;
        }
        posix_spawn_file_actions_addclosefrom_np(&actions_, first_closed);
        if (!request.work_dir.empty()) {
            posix_spawn_file_actions_addchdir_np(&actions_, request.work_dir.c_str());
        }
        argv_.push_back(const_cast<char*>(request.program.c_str()));
        for (const auto& a : request.arguments) argv_.push_back(const_cast<char*>(a.c_str()));
        argv_.push_back(nullptr);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attr_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    int Spawn(pid_t* pid) {
        return posix_spawn(pid, argv_[0], &actions_, &attr_, argv_.data(), environ);
    }

  private:
    posix_spawnattr_t attr_;
    posix_spawn_file_actions_t actions_;
    std::vector<char*> argv_;
};

int StatusOf(int wait_status) {
    if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
    return -1;
}

}  // namespace

int OpenProcessFd(pid_t pid) {
    return pidfd_open(pid, 0);
}

int SignalProcess(int pidfd, int signal) {
    return pidfd_send_signal(pidfd, signal, nullptr, 0);
}

bool WaitForProcessEnd(int pidfd, std::chrono::milliseconds within) {
    const auto deadline = Clock::now() + within;
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{pidfd, POLLIN, 0};
        const int n = poll(&p, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (n > 0) return true;
        if (n == 0 || errno != EINTR) return false;
    }
}

bool SignalUntilEnded(int pidfd, const EndPolicy& policy) {
    for (int round = 0; round < policy.tries; ++round) {
        const int signal = round == 0 ? SIGTERM : SIGKILL;
        if (SignalProcess(pidfd, signal) != 0 && errno == ESRCH) return true;
        if (WaitForProcessEnd(pidfd, policy.grace)) return true;
    }
    return false;
}

CChildProcess::~CChildProcess() {
    End();
}

CChildProcess::CChildProcess(CChildProcess&& other) noexcept
    : pid_(other.pid_), pidfd_(other.pidfd_), exit_status_(other.exit_status_) {
    other.pid_ = -1;
    other.pidfd_ = -1;
}

CChildProcess& CChildProcess::operator=(CChildProcess&& other) noexcept {
    if (this != &other) {
        End();
        pid_ = std::exchange(other.pid_, -1);
        pidfd_ = std::exchange(other.pidfd_, -1);
        exit_status_ = other.exit_status_;
    }
    return *this;
}

bool CChildProcess::Start(const StartRequest& request, std::string* error) {
    End();
    exit_status_.reset();
    SpawnSetup setup(request);
    pid_t pid = -1;
    if (const int rc = setup.Spawn(&pid); rc != 0) {
        if (error) *error = request.program + ": " + std::strerror(rc);
        return false;
    }
    pid_ = pid;
    // Our unreaped child keeps its number, so opening the pidfd by number is safe.
    pidfd_ = OpenProcessFd(pid);
    if (pidfd_ < 0) {
        const int saved = errno;
        kill(pid_, SIGKILL);
        Reap(true);
        if (error)
            *error = std::string("cannot follow the started program: ") + std::strerror(saved);
        return false;
    }
    return true;
}

bool CChildProcess::Running() {
    return pid_ > 0 && !Reap(false);
}

std::optional<int> CChildProcess::WaitForExit(std::chrono::milliseconds within) {
    if (pid_ > 0 && WaitForProcessEnd(pidfd_, within)) Reap(true);
    return exit_status_;
}

bool CChildProcess::End(const EndPolicy& policy) {
    if (pid_ <= 0) return true;
    if (!SignalUntilEnded(pidfd_, policy)) return false;
    Reap(true);
    return true;
}

bool CChildProcess::Reap(bool block) {
    int status = 0;
    pid_t got;
    do {
        got = waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == 0) return false;
    // ECHILD: someone else reaped it (a SIGCHLD set to be ignored); it is gone all the same.
    exit_status_ = got == pid_ ? StatusOf(status) : -1;
    Release();
    return true;
}

void CChildProcess::Release() {
    if (pidfd_ >= 0) close(pidfd_);
    pidfd_ = -1;
    pid_ = -1;
}

}  // namespace fk
