#include "app/process_control.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "app/own_process.h"
#include "app/pid_file.h"
#include "scratch_dir.h"

namespace fk {
namespace {

using namespace std::chrono_literals;

std::string Canonical(const std::string& path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? std::string(buf) : path;
}

const std::string kSleep = Canonical("/bin/sleep");
const std::string kShell = "/bin/sh";

CChildProcess Started(std::vector<std::string> args, const std::string& program = kSleep,
                      StartRequest request = {}) {
    request.program = program;
    request.arguments = std::move(args);
    CChildProcess child;
    std::string error;
    EXPECT_TRUE(child.Start(request, &error)) << error;
    return child;
}

std::string Link(const std::string& path) {
    std::error_code ec;
    return std::filesystem::read_symlink(path, ec).string();
}

TEST(ProcessControl, StartsHiddenWithOnlyTheDescriptorsItIsGiven) {
    fk::testing::ScratchDir dir;
    int pipe_fds[2];
    ASSERT_EQ(pipe2(pipe_fds, O_CLOEXEC), 0);
    StartRequest request;
    request.work_dir = dir.Dir();
    request.pass_fd = pipe_fds[1];
    CChildProcess child = Started({"30"}, kSleep, request);
    const std::string proc = "/proc/" + std::to_string(child.Pid());
    EXPECT_EQ(Link(proc + "/fd/0"), "/dev/null");
    EXPECT_EQ(Link(proc + "/fd/1"), "/dev/null");
    EXPECT_EQ(Link(proc + "/fd/2"), "/dev/null");
    EXPECT_EQ(Link(proc + "/fd/3"), Link("/proc/self/fd/" + std::to_string(pipe_fds[1])));
    // The program may still hold a file of its own start-up (its locale) for a moment;
    // a descriptor leaked from us would stay for good.
    const auto count = [&] {
        std::size_t descriptors = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(proc + "/fd"))
            ++descriptors;
        return descriptors;
    };
    std::size_t descriptors = count();
    for (int i = 0; i < 200 && descriptors != 4; ++i) {
        usleep(10'000);
        descriptors = count();
    }
    EXPECT_EQ(descriptors, 4u) << "nothing of ours but the one given";
    EXPECT_EQ(Canonical(proc + "/cwd") + "/", Canonical(dir.Dir()) + "/");
    EXPECT_EQ(getsid(child.Pid()), child.Pid()) << "a session of its own, no terminal";
    close(pipe_fds[0]);
    close(pipe_fds[1]);
}

TEST(ProcessControl, EndEscalatesFromTermToKillAndReaps) {
    struct Case {
        const char* what;
        std::string program;
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {"ends on SIGTERM", kSleep, {"30"}, 128 + SIGTERM},
        {"ignores SIGTERM", kShell, {"-c", "trap '' TERM; exec " + kSleep + " 30"}, 128 + SIGKILL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CChildProcess child = Started(c.args, c.program);
        const pid_t pid = child.Pid();
        // The shell must have set its trap (and become sleep) before it is signalled.
        for (int i = 0; i < 500 && ExecutableOf(pid) != kSleep; ++i) usleep(10'000);
        EXPECT_TRUE(child.Running());
        const auto begin = std::chrono::steady_clock::now();
        EXPECT_TRUE(child.End({200ms, 3}));
        EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
        EXPECT_FALSE(child.Running());
        EXPECT_EQ(child.ExitStatus(), c.status);
        EXPECT_NE(kill(pid, 0), 0) << "reaped, not left a zombie";
    }
}

TEST(ProcessControl, ExitStatusAndStartFailure) {
    CChildProcess child = Started({"-c", "exit 7"}, kShell);
    EXPECT_EQ(child.WaitForExit(5s), 7);
    EXPECT_FALSE(child.Running());
    CChildProcess missing;
    std::string error;
    EXPECT_FALSE(missing.Start({"/nonexistent/FileServer", {}, "", -1}, &error));
    EXPECT_NE(error.find("/nonexistent/FileServer"), std::string::npos);
    EXPECT_FALSE(missing.Running());
}

TEST(OwnProcess, OnlyAProvenProcessOfOursIsEnded) {
    CChildProcess sleeper = Started({"30"});
    EXPECT_EQ(ExecutableOf(sleeper.Pid()), kSleep);
    EXPECT_EQ(EndIfOurs(sleeper.Pid(), "/usr/lib/other/FileServer", {100ms, 2}),
              ForeignEnd::kNotOurs);
    EXPECT_TRUE(sleeper.Running()) << "a process not proven ours is left alone";
    EXPECT_EQ(EndIfOurs(1, kSleep), ForeignEnd::kNotOurs);
    EXPECT_EQ(EndIfOurs(getpid(), Canonical("/proc/self/exe")), ForeignEnd::kNotOurs);
    EXPECT_EQ(EndIfOurs(sleeper.Pid(), kSleep, {1000ms, 2}), ForeignEnd::kEnded);
    EXPECT_FALSE(sleeper.Running());

    CChildProcess done = Started({"-c", "exit 0"}, kShell);
    const pid_t gone = done.Pid();
    done.WaitForExit(5s);
    EXPECT_EQ(EndIfOurs(gone, kShell), ForeignEnd::kNotRunning);
}

TEST(OwnProcess, ReplacedExecutableStillCounts) {
    EXPECT_TRUE(SameExecutable("/opt/fk/service/FileServer", "/opt/fk/service/FileServer"));
    EXPECT_TRUE(
        SameExecutable("/opt/fk/service/FileServer (deleted)", "/opt/fk/service/FileServer"));
    EXPECT_FALSE(SameExecutable("/opt/fk/service/FileServer2", "/opt/fk/service/FileServer"));
    EXPECT_FALSE(SameExecutable("/tmp/FileServer", "/opt/fk/service/FileServer"));
    EXPECT_FALSE(SameExecutable("", ""));
}

TEST(PidFile, OnlyOneNumberAboveOneIsTaken) {
    fk::testing::ScratchDir dir;
    const std::string path = dir.Dir() + "FileServer.pid";
    std::string error;
    ASSERT_TRUE(WritePidFile(path, 4194304, &error)) << error;
    EXPECT_EQ(dir.Read("FileServer.pid"), "4194304\n");
    EXPECT_EQ(ReadPidFile(path), 4194304);
    const std::pair<const char*, std::optional<pid_t>> cases[] = {
        {" 42 \r\n", 42},      {"", std::nullopt},         {"abc", std::nullopt},
        {"12a", std::nullopt}, {"-5", std::nullopt},       {"1", std::nullopt},
        {"0", std::nullopt},   {"99999999", std::nullopt}, {"4 2", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        dir.Write("FileServer.pid", text);
        EXPECT_EQ(ReadPidFile(path), expected) << '"' << text << '"';
    }
    RemovePidFile(path);
    EXPECT_EQ(ReadPidFile(path), std::nullopt);
}

}  // namespace
}  // namespace fk
