// The controller's side of the file server: before an upgrade the chosen image goes
// into a fresh private staging folder, FileServer.ini is pointed at it, and
// service/FileServer is started and given a few seconds to bind its port; afterwards
// exactly that process is ended and the folder removed. A server a crashed run left
// behind is found through the PID file and ended only once proven ours.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <stop_token>
#include <string>

#include "app/own_process.h"
#include "app/process_control.h"
#include "app/program_dir.h"
#include "app/staging_folder.h"
#include "service/server_config.h"

namespace fk {

struct FileServerPaths {
    std::string executable;      // service/FileServer
    std::string config_dir;      // holds FileServer.ini and FileServer.pid
    std::string staging_parent;  // where each staging folder is made
};

// The file server of this layout; in a build tree its ini, PID file and staging
// folders sit beside it in service/, installed (or read-only) in the user's run folder.
FileServerPaths DefaultFileServerPaths(const FolderPlaces& places);
FileServerPaths DefaultFileServerPaths();

enum class FileServerStatus {
    kServing,
    kImageNotStaged,    // the image could not be copied into a staging folder
    kConfigNotWritten,  // FileServer.ini or the PID file could not be written
    kNotStarted,        // the program could not be started at all
    kConfigRefused,     // it started and refused its settings
    kPortInUse,
    kPortDenied,  // the bind capability is missing
    kEndedEarly,  // it ended before it was serving, for another reason
    kNoAnswer,    // still not serving after the wait; it was ended
    kStopped,     // the caller gave up waiting; it was ended
};

struct FileServerStart {
    FileServerStatus status = FileServerStatus::kNotStarted;
    std::string message;  // for the user; empty when serving
    bool Serving() const { return status == FileServerStatus::kServing; }
};

class CFileServerControl {
  public:
    explicit CFileServerControl(FileServerPaths paths);
    ~CFileServerControl() { Stop(); }
    CFileServerControl(const CFileServerControl&) = delete;
    CFileServerControl& operator=(const CFileServerControl&) = delete;

    // The port this run serves on, written to the ini at every start (so a run with a
    // port of its own leaves nothing behind for the next one); 0 means the standard 69.
    void SetPort(std::uint16_t port) { port_ = port != 0 ? port : tftp::kDefaultPort; }
    void SetReadyTimeout(std::chrono::milliseconds timeout) { ready_timeout_ = timeout; }

    // Ends a server a crashed run left behind, and its staging folders.
    ForeignEnd EndLeftover();
    // `stop` ends the wait for the server early (the caller went away); the server
    // is then ended as after a failed start.
    FileServerStart Start(const std::string& image_path, std::stop_token stop = {});
    bool Running() { return child_.Running(); }
    pid_t Pid() const { return child_.Pid(); }
    const std::string& StagingFolder() const { return staging_.Path(); }
    // Ends the process Start started (never another one) and removes what it left.
    void Stop();

    std::string IniPath() const;
    std::string PidPath() const;

  private:
    FileServerStart Launch(std::stop_token stop);
    FileServerStart WaitUntilServing(int ready_fd, std::stop_token stop);
    FileServerStart Failed(FileServerStatus status, std::string message);

    FileServerPaths paths_;
    std::uint16_t port_ = tftp::kDefaultPort;
    std::chrono::milliseconds ready_timeout_{5000};
    CStagingFolder staging_;
    CChildProcess child_;
    bool pid_file_written_ = false;
    bool ini_written_ = false;
};

}  // namespace fk
