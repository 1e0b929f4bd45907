// The bind capability is needed for one call, the bind of port 69. Keeping it after
// that would only help an attacker who got in through the LAN side. It also has a
// cost at home: a process started from a file with capabilities is not dumpable, so
// the desktop user could not read its /proc/PID/exe, and a server left behind by a
// crashed controller could never be proven ours and ended.
#pragma once

namespace fk::tftp {

// Drops every capability and makes the process dumpable again. Does nothing for
// root, whose file access would otherwise shrink to that of an ordinary owner.
void DropPrivilegesAfterBind();

}  // namespace fk::tftp
