// How FileServer ends, so that the controller that started it can tell the user why
// it is not serving. Header only: the controller includes it without linking the
// server's code.
#pragma once

namespace fk::tftp {

enum FileServerExit : int {
    kExitEnded = 0,       // ended by SIGTERM or SIGINT
    kExitFailure = 1,     // the loop failed after it had started
    kExitUsage = 2,       // an unknown argument
    kExitConfig = 3,      // FileServer.ini unusable or its Directory not readable
    kExitPortInUse = 4,   // another program holds the port
    kExitPortDenied = 5,  // no right to bind the port (the bind capability is missing)
    kExitBindFailed = 6,  // any other reason the port could not be bound
};

// Written to the descriptor named by --ready-fd once the port is bound.
inline constexpr char kReadyLine[] = "ready\n";

}  // namespace fk::tftp
