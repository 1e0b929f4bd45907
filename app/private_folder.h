// A folder only its owner may enter, for the files one run of the program keeps
// (the store, the file server's settings and staging folders). A folder of that name
// that is not a real folder of this user (a link, another user's folder placed in a
// shared /tmp first) is never used.
#pragma once

#include <sys/types.h>

#include <string>

namespace fk {

// Makes `path` (mode 0700) or accepts it when it already is a folder owned by `uid`,
// then tightens it to 0700. False, with the reason, when it cannot be used.
bool MakePrivateFolder(const std::string& path, uid_t uid, std::string* error);

}  // namespace fk
