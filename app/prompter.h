// Every message box and confirmation goes through one small interface, so that the
// logic that decides what to say can be tested without a desktop.
#pragma once

#include <string>

namespace fk {

enum class MsgIcon { None, Information, Warning, Error, Question };

class IPrompter {
  public:
    virtual ~IPrompter() = default;
    // A modal box with one OK button. `title` empty means "no title of its own".
    virtual void Warn(const std::string& title, const std::string& text, MsgIcon icon) = 0;
    // OK / Cancel; true for OK.
    virtual bool Confirm(const std::string& text) = 0;
};

// Where there is no desktop: messages go to standard error and confirmations are
// declined, so nothing destructive happens unasked.
class CStderrPrompter final : public IPrompter {
  public:
    void Warn(const std::string& title, const std::string& text, MsgIcon icon) override;
    bool Confirm(const std::string& text) override;
};

}  // namespace fk
