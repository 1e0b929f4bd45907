// A prompter that shows nothing: it keeps every message and confirmation text and
// declines every confirmation unless the test says to accept them.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "app/prompter.h"

namespace fk::test {

struct PromptRecord {
    enum class Kind { Warn, Confirm };
    Kind kind = Kind::Warn;
    std::string title;
    std::string text;
    MsgIcon icon = MsgIcon::None;
};

class RecordingPrompter final : public IPrompter {
  public:
    void Warn(const std::string& title, const std::string& text, MsgIcon icon) override {
        std::lock_guard lock(mutex_);
        records_.push_back({PromptRecord::Kind::Warn, title, text, icon});
    }
    bool Confirm(const std::string& text) override {
        std::lock_guard lock(mutex_);
        records_.push_back({PromptRecord::Kind::Confirm, {}, text, MsgIcon::Question});
        return confirm_;
    }
    void AnswerConfirmations(bool ok) {
        std::lock_guard lock(mutex_);
        confirm_ = ok;
    }

    std::vector<PromptRecord> Records() const {
        std::lock_guard lock(mutex_);
        return records_;
    }
    // The texts alone, in the order they were shown.
    std::vector<std::string> Texts() const {
        std::lock_guard lock(mutex_);
        std::vector<std::string> out;
        for (const auto& r : records_) out.push_back(r.text);
        return out;
    }
    bool Saw(const std::string& text) const {
        std::lock_guard lock(mutex_);
        for (const auto& r : records_)
            if (r.text == text) return true;
        return false;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<PromptRecord> records_;
    bool confirm_ = false;
};

}  // namespace fk::test
