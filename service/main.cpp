// FileServer: serves the images in the folder FileServer.ini names, read-only, over
// TFTP, until SIGTERM or SIGINT.
//   FileServer [--config PATH] [--ready-fd N]
// Without --config the ini next to the executable is read (installed: the one in the
// user's run folder). With --ready-fd the line
// "ready" is written to descriptor N once the port is bound, and N is closed.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/program_dir.h"
#include "service/file_server_exit.h"
#include "service/privileges.h"
#include "service/served_folder.h"
#include "service/server_config.h"
#include "service/tftp_server.h"

namespace {

struct Arguments {
    std::string config;
    int ready_fd = -1;
};

// Only read, so a build tree's copy reads the ini beside it even where it may not
// write; an installed copy reads the one its controller wrote into the run folder.
std::string DefaultConfigFolder() {
    const fk::FolderPlaces places = fk::CurrentFolderPlaces();
    return fk::IsInstalled(places) ? fk::UserRunDirectory(places) : places.program_dir;
}

bool ParseArguments(int argc, char** argv, Arguments& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        if (arg == "--config") {
            out.config = argv[++i];
        } else if (arg == "--ready-fd") {
            char* end = nullptr;
            const long fd = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || fd < 0 || fd > 1'000'000) return false;
            out.ready_fd = static_cast<int>(fd);
        } else {
            return false;
        }
    }
    if (out.config.empty()) out.config = DefaultConfigFolder() + "FileServer.ini";
    return true;
}

int BindExitCode(int error) {
    if (error == EADDRINUSE) return fk::tftp::kExitPortInUse;
    if (error == EACCES || error == EPERM) return fk::tftp::kExitPortDenied;
    return fk::tftp::kExitBindFailed;
}

// The signals are taken as data from a descriptor the loop polls, so no work is
// done in a handler and the loop ends between two datagrams, never inside one.
int StopDescriptor() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) return -1;
    return signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

void SignalReady(int fd) {
    if (fd < 0) return;
    (void)!write(fd, fk::tftp::kReadyLine, sizeof(fk::tftp::kReadyLine) - 1);
    close(fd);
}

// Only a start that fails says anything, on standard error: a server started by
// the controller has it on /dev/null and is judged by its exit code.
int Fail(int code, const std::string& message) {
    std::fprintf(stderr, "FileServer: %s\n", message.c_str());
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        return Fail(fk::tftp::kExitUsage, "usage: FileServer [--config PATH] [--ready-fd N]");
    }
    const int stop_fd = StopDescriptor();
    if (stop_fd < 0) return Fail(fk::tftp::kExitFailure, std::strerror(errno));
    std::string error;
    const auto config = fk::tftp::LoadServerConfig(args.config, &error);
    if (!config) return Fail(fk::tftp::kExitConfig, error);
    fk::tftp::CServedFolder folder;
    if (!folder.Open(config->directory, &error)) return Fail(fk::tftp::kExitConfig, error);

    fk::tftp::ServerOptions options;
    options.port = config->port;
    fk::tftp::CTftpServer server(std::move(folder), options);
    if (const int bind_error = server.Bind(); bind_error != 0) {
        return Fail(BindExitCode(bind_error),
                    "UDP port " + std::to_string(config->port) + ": " + std::strerror(bind_error));
    }
    fk::tftp::DropPrivilegesAfterBind();
    SignalReady(args.ready_fd);
    return server.Run(stop_fd) ? fk::tftp::kExitEnded : fk::tftp::kExitFailure;
}
