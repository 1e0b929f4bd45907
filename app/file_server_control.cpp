#include "app/file_server_control.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/ini_file.h"
#include "app/pid_file.h"
#include "service/file_server_exit.h"

namespace fk {
namespace {

using Clock = std::chrono::steady_clock;

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string Canonical(const std::string& path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) != nullptr ? std::string(buf) : path;
}

// How often a wait that can be stopped looks at its stop token: a window closed while
// the server starts should not stay on screen noticeably longer.
constexpr std::chrono::milliseconds kStopCheck{50};

constexpr const char* kStoppedMessage = "The file server was ended before it served.";

enum class ReadyWait { kAnswered, kEnded, kTimedOut, kStopped };

// The first line the server writes, or empty when it closed the pipe (it ended), said
// nothing before the deadline, or `stop` was requested; `how` tells which.
std::string ReadReadyLine(int fd, std::chrono::milliseconds within, std::stop_token stop,
                          ReadyWait* how) {
    const auto deadline = Clock::now() + within;
    std::string line;
    *how = ReadyWait::kEnded;
    while (line.find('\n') == std::string::npos) {
        if (stop.stop_requested()) {
            *how = ReadyWait::kStopped;
            return {};
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        auto slice = std::max<long long>(0, left.count());
        if (stop.stop_possible()) slice = std::min<long long>(slice, kStopCheck.count());
        pollfd p{fd, POLLIN, 0};
        const int n = poll(&p, 1, static_cast<int>(slice));
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 && Clock::now() < deadline) continue;
        if (n == 0) *how = ReadyWait::kTimedOut;
        if (n <= 0) return {};
        char buf[64];
        const ssize_t got = read(fd, buf, sizeof(buf));
        if (got <= 0) return {};
        line.append(buf, static_cast<std::size_t>(got));
    }
    *how = ReadyWait::kAnswered;
    return line.substr(0, line.find('\n') + 1);
}

}  // namespace

FileServerPaths DefaultFileServerPaths(const FolderPlaces& places) {
    const std::string per_run = RunDirectory(places, "service/");
    return {FileServerExecutable(places), per_run, per_run};
}

FileServerPaths DefaultFileServerPaths() {
    return DefaultFileServerPaths(CurrentFolderPlaces());
}

CFileServerControl::CFileServerControl(FileServerPaths paths) : paths_(std::move(paths)) {
    paths_.config_dir = WithSlash(paths_.config_dir);
}

std::string CFileServerControl::IniPath() const {
    return paths_.config_dir + "FileServer.ini";
}
std::string CFileServerControl::PidPath() const {
    return paths_.config_dir + "FileServer.pid";
}

ForeignEnd CFileServerControl::EndLeftover() {
    const auto pid = ReadPidFile(PidPath());
    const ForeignEnd result = pid ? EndIfOurs(*pid, paths_.executable) : ForeignEnd::kNotRunning;
    // Only a server of ours that outlived every signal keeps its file (to be tried
    // again) and its folders (it may still be reading them). A stranger the number
    // now belongs to is left running, and the stale number is dropped.
    if (result != ForeignEnd::kStillRunning) {
        RemovePidFile(PidPath());
        RemoveLeftoverStagingFolders(paths_.staging_parent);
    }
    return result;
}

FileServerStart CFileServerControl::Start(const std::string& image_path, std::stop_token stop) {
    Stop();
    if (paths_.config_dir.empty()) {
        return Failed(FileServerStatus::kConfigNotWritten,
                      "There is no private folder for the file server's settings.");
    }
    EndLeftover();
    std::error_code ignored;
    std::filesystem::create_directories(paths_.config_dir, ignored);
    std::string error;
    if (!staging_.Create(paths_.staging_parent, image_path, &error)) {
        return Failed(FileServerStatus::kImageNotStaged,
                      "The firmware file cannot be prepared: " + error);
    }
    ini_written_ = true;
    const bool written = WriteProfileString(IniPath(), "SERVER", "Directory", staging_.Path()) &&
                         WriteProfileString(IniPath(), "SERVER", "Port", std::to_string(port_));
    if (!written) return Failed(FileServerStatus::kConfigNotWritten, "Cannot write " + IniPath());
    if (stop.stop_requested()) return Failed(FileServerStatus::kStopped, kStoppedMessage);
    return Launch(stop);
}

FileServerStart CFileServerControl::Launch(std::stop_token stop) {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        return Failed(FileServerStatus::kNotStarted, std::string("pipe: ") + std::strerror(errno));
    }
    StartRequest request;
    request.program = paths_.executable;
    request.work_dir = FolderOf(paths_.executable);
    request.pass_fd = ready[1];
    request.arguments = {"--ready-fd", "3"};
    // Next to the executable is where it looks by itself.
    if (Canonical(FolderOf(paths_.executable)) != Canonical(paths_.config_dir)) {
        request.arguments.insert(request.arguments.end(), {"--config", IniPath()});
    }
    std::string error;
    const bool started = child_.Start(request, &error);
    close(ready[1]);
    if (!started) {
        close(ready[0]);
        return Failed(FileServerStatus::kNotStarted, "The file server cannot be started: " + error);
    }
    // Written before the wait, so that even a crash of ours right now leaves the trace.
    pid_file_written_ = WritePidFile(PidPath(), child_.Pid(), &error);
    if (!pid_file_written_) {
        close(ready[0]);
        return Failed(FileServerStatus::kConfigNotWritten, "Cannot write the PID file: " + error);
    }
    FileServerStart result = WaitUntilServing(ready[0], stop);
    close(ready[0]);
    return result;
}

FileServerStart CFileServerControl::WaitUntilServing(int ready_fd, std::stop_token stop) {
    ReadyWait how = ReadyWait::kEnded;
    if (ReadReadyLine(ready_fd, ready_timeout_, stop, &how) == tftp::kReadyLine) {
        return {FileServerStatus::kServing, {}};
    }
    if (how == ReadyWait::kStopped) {
        return Failed(FileServerStatus::kStopped, kStoppedMessage);
    }
    if (how == ReadyWait::kTimedOut) {
        return Failed(FileServerStatus::kNoAnswer,
                      "The file server did not start serving in time.");
    }
    const int code = child_.WaitForExit(std::chrono::seconds(1)).value_or(-1);
    switch (code) {
        case tftp::kExitPortInUse:
            return Failed(FileServerStatus::kPortInUse,
                          "UDP port " + std::to_string(port_) +
                              " is in use by another program; close it "
                              "(another TFTP server?) and try again.");
        case tftp::kExitPortDenied:
            return Failed(FileServerStatus::kPortDenied,
                          "The file server may not use UDP port " + std::to_string(port_) +
                              ": give it the right with setcap cap_net_bind_service=+ep " +
                              paths_.executable);
        case tftp::kExitConfig:
            return Failed(FileServerStatus::kConfigRefused,
                          "The file server cannot use its settings in " + IniPath());
        default:
            return Failed(
                FileServerStatus::kEndedEarly,
                "The file server ended at once (exit status " + std::to_string(code) + ").");
    }
}

FileServerStart CFileServerControl::Failed(FileServerStatus status, std::string message) {
    Stop();
    return {status, std::move(message)};
}

void CFileServerControl::Stop() {
    // A server that outlived every signal keeps its PID file, so the next start can
    // try again.
    if (child_.End() && pid_file_written_) {
        RemovePidFile(PidPath());
        pid_file_written_ = false;
    }
    // The settings name a folder that is gone now; nothing of the run stays behind.
    if (ini_written_ && !child_.Running()) {
        std::error_code ignored;
        std::filesystem::remove(IniPath(), ignored);
        ini_written_ = false;
    }
    staging_.Remove();
}

}  // namespace fk
