// The real FileServer, started and ended by the control inside the test's own
// network namespace, so its port is private to the test.
#include "app/file_server_control.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <stop_token>
#include <thread>

#include "app/ini_file.h"
#include "app/pid_file.h"
#include "app/program_dir.h"
#include "netns_fixture.h"
#include "scratch_dir.h"
#include "service/tftp_packet.h"

namespace fk {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr std::uint16_t kPort = 6969;

std::string Canonical(const std::string& path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? std::string(buf) : path;
}

int UdpSocket(std::uint16_t port = 0) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    return fd;
}

// The first answer to a plain read request on loopback, or nothing within a second.
tftp::Bytes FirstAnswer(const std::string& file, std::uint16_t port = kPort) {
    const int fd = UdpSocket();
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    const auto request = tftp::BuildRequest({tftp::Opcode::kReadRequest, file, "octet", {}});
    sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
    tftp::Bytes answer(1024);
    pollfd p{fd, POLLIN, 0};
    const ssize_t n = poll(&p, 1, 1000) == 1 ? recv(fd, answer.data(), answer.size(), 0) : -1;
    close(fd);
    answer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return answer;
}

class FileServerControlTest : public fk::testing::NetnsTest {
  protected:
    void SetUp() override {
        NetnsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        server_ = ProgramDirectory() + "service/FileServer";
        if (access(server_.c_str(), X_OK) != 0) GTEST_SKIP() << server_ << " is not built";
        image_ = scratch_.Write("user/fw-5.1.bin", "firmware image");
        scratch_.Write("user/private.txt", "not for the LAN");
        paths_ = {server_, scratch_.Dir() + "service", scratch_.Dir() + "service"};
    }

    fk::testing::ScratchDir scratch_;
    std::string server_, image_;
    FileServerPaths paths_;
};

TEST_F(FileServerControlTest, ServesAPrivateCopyUntilStopped) {
    CFileServerControl control(paths_);
    control.SetPort(kPort);
    const FileServerStart start = control.Start(image_);
    ASSERT_TRUE(start.Serving()) << start.message;
    const std::string staging = control.StagingFolder();
    struct stat st {};
    ASSERT_EQ(stat(staging.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(ReadProfileString(control.IniPath(), "SERVER", "Directory", "", 4096), staging);
    EXPECT_EQ(ReadPidFile(control.PidPath()), control.Pid());
    EXPECT_EQ(ExecutableOf(control.Pid()), Canonical(server_));

    const tftp::Bytes answer = FirstAnswer("fw-5.1.bin");
    const auto data = tftp::ParseData(answer);
    ASSERT_TRUE(data.has_value()) << "the staged copy is served";
    EXPECT_EQ(std::string(data->payload.begin(), data->payload.end()), "firmware image");
    const auto refused = tftp::ParseError(FirstAnswer("private.txt"));
    ASSERT_TRUE(refused.has_value()) << "the user's own folder is not";
    EXPECT_EQ(refused->code, 1);

    const pid_t pid = control.Pid();
    control.Stop();
    EXPECT_FALSE(control.Running());
    EXPECT_NE(kill(pid, 0), 0);
    EXPECT_FALSE(fs::exists(staging));
    EXPECT_FALSE(fs::exists(control.PidPath()));
    EXPECT_FALSE(fs::exists(control.IniPath())) << "the run folder is left empty";
    EXPECT_TRUE(fs::exists(image_)) << "the user's file stays";
}

// A test's run on a port of its own, then a user's run with the same folders: the
// user's run serves on the standard port again.
TEST_F(FileServerControlTest, EveryStartWritesTheWholeSettings) {
    const struct {
        std::uint16_t port;  // 0: not set
        const char* written;
        std::uint16_t serves_on;
    } runs[] = {{kPort, "6969", kPort}, {0, "69", 69}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.written);
        CFileServerControl control(paths_);
        if (run.port != 0) control.SetPort(run.port);
        const FileServerStart start = control.Start(image_);
        ASSERT_TRUE(start.Serving()) << start.message;
        EXPECT_EQ(ReadProfileString(control.IniPath(), "SERVER", "Port", "", 16), run.written);
        EXPECT_TRUE(tftp::ParseData(FirstAnswer("fw-5.1.bin", run.serves_on)).has_value());
        control.Stop();
    }
}

TEST_F(FileServerControlTest, FailuresAreReportedAtOnceAndLeaveNothing) {
    const int holder = UdpSocket(kPort);
    struct Case {
        const char* what;
        std::string image;
        FileServerStatus status;
        const char* says;
    };
    const Case cases[] = {
        {"no such image", scratch_.Dir() + "user/missing.bin", FileServerStatus::kImageNotStaged,
         "missing.bin"},
        {"port held by another program", image_, FileServerStatus::kPortInUse, "6969"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CFileServerControl control(paths_);
        control.SetPort(kPort);
        const auto begin = std::chrono::steady_clock::now();
        const FileServerStart start = control.Start(c.image);
        EXPECT_LT(std::chrono::steady_clock::now() - begin, 3s);
        EXPECT_EQ(start.status, c.status);
        EXPECT_NE(start.message.find(c.says), std::string::npos) << start.message;
        EXPECT_FALSE(control.Running());
        EXPECT_FALSE(fs::exists(control.PidPath()));
        EXPECT_TRUE(control.StagingFolder().empty());
    }
    std::size_t left = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(paths_.staging_parent)) {
        left += e.is_directory();
    }
    EXPECT_EQ(left, 0u) << "no staging folder left behind";
    close(holder);
}

// A window closed while its server starts: the wait gives up at once and the server
// it launched is ended, whether the stop comes before the launch or during the wait.
TEST_F(FileServerControlTest, AStoppedStartEndsWhatItBegan) {
    // Stands in for a server that never says it is serving.
    const std::string mute = scratch_.Write("mute/FileServer", "#!/bin/sh\nexec sleep 60\n");
    fs::permissions(mute, fs::perms::owner_all);
    const struct {
        const char* what;
        bool once_launched;  // else before the start
    } cases[] = {{"stopped before the launch", false}, {"stopped during the wait", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CFileServerControl control({mute, paths_.config_dir, paths_.staging_parent});
        control.SetReadyTimeout(60s);
        std::stop_source stop;
        if (!c.once_launched) stop.request_stop();
        // The PID file is written once the server runs, just before the wait.
        std::jthread stopper([&, pid_path = control.PidPath()] {
            const auto deadline = std::chrono::steady_clock::now() + 10s;
            while (c.once_launched && !fs::exists(pid_path) &&
                   std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(10ms);
            stop.request_stop();
        });
        const auto begin = std::chrono::steady_clock::now();
        const FileServerStart start = control.Start(image_, stop.get_token());
        EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
        EXPECT_EQ(start.status, FileServerStatus::kStopped);
        EXPECT_FALSE(control.Running());
        EXPECT_FALSE(fs::exists(control.PidPath()));
        EXPECT_TRUE(control.StagingFolder().empty());
    }
}

TEST_F(FileServerControlTest, LeftoverServerIsEndedOnlyWhenProvenOurs) {
    // A crashed run: its server still runs, its PID file and staging folder remain.
    CChildProcess leftover;
    std::string error;
    const std::string ini = scratch_.Write(
        "service/FileServer.ini", "[SERVER]\nDirectory=" + scratch_.Dir() + "user\nPort=6969\n");
    ASSERT_TRUE(leftover.Start({server_, {"--config", ini}, "", -1}, &error)) << error;
    ASSERT_TRUE(WritePidFile(paths_.config_dir + "/FileServer.pid", leftover.Pid(), &error));
    fs::create_directories(scratch_.Dir() + "service/stage-Ab12Cd");

    CChildProcess stranger;
    ASSERT_TRUE(stranger.Start({"/bin/sleep", {"30"}, "", -1}, &error)) << error;
    CFileServerControl control(paths_);
    ASSERT_TRUE(WritePidFile(control.PidPath(), stranger.Pid(), &error));
    EXPECT_EQ(control.EndLeftover(), ForeignEnd::kNotOurs);
    EXPECT_TRUE(stranger.Running()) << "never end what is not proven ours";

    ASSERT_TRUE(WritePidFile(control.PidPath(), leftover.Pid(), &error));
    EXPECT_EQ(control.EndLeftover(), ForeignEnd::kEnded);
    EXPECT_FALSE(leftover.Running());
    EXPECT_FALSE(fs::exists(scratch_.Dir() + "service/stage-Ab12Cd"));
    EXPECT_FALSE(fs::exists(control.PidPath()));

    // With the port free again a fresh start serves.
    control.SetPort(kPort);
    EXPECT_TRUE(control.Start(image_).Serving());
}

}  // namespace
}  // namespace fk
