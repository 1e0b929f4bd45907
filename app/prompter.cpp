#include "app/prompter.h"

#include <atomic>
#include <cstdio>

namespace fk {
namespace {

class StderrPrompter final : public IPrompter {
  public:
    void Warn(const std::string& title, const std::string& text, MsgIcon) override {
        std::fprintf(stderr, "%s%s%s\n", title.c_str(), title.empty() ? "" : ": ", text.c_str());
    }
    bool Confirm(const std::string& text) override {
        std::fprintf(stderr, "%s (declined: no desktop)\n", text.c_str());
        return false;
    }
};

StderrPrompter g_default_prompter;
std::atomic<IPrompter*> g_prompter{nullptr};

}  // namespace

IPrompter& Prompter() {
    IPrompter* p = g_prompter.load();
    return p ? *p : g_default_prompter;
}

void SetPrompter(IPrompter* prompter) {
    g_prompter.store(prompter);
}

}  // namespace fk
