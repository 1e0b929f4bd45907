#include "app/program_dir.h"

#include <unistd.h>
#include <climits>

namespace fk {

std::string ProgramDirectory() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace fk
