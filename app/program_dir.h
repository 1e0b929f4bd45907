#pragma once

#include <string>

namespace fk {

// Directory of the running executable, with a trailing '/'. Setting.ini, Languages/,
// Skin/, service/ and data.mdb live there.
std::string ProgramDirectory();

}  // namespace fk
