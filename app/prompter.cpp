#include "app/prompter.h"

#include <cstdio>

namespace fk {

void CStderrPrompter::Warn(const std::string& title, const std::string& text, MsgIcon) {
    std::fprintf(stderr, "%s%s%s\n", title.c_str(), title.empty() ? "" : ": ", text.c_str());
}

bool CStderrPrompter::Confirm(const std::string& text) {
    std::fprintf(stderr, "%s (declined: no desktop)\n", text.c_str());
    return false;
}

}  // namespace fk
