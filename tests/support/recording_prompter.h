// A prompter that shows nothing: it keeps every message and confirmation text and
// declines every confirmation unless the test says to accept them. A test may give it
// what a real box does while it is open (a window test runs an event loop there, as
// QMessageBox does).
#pragma once

#include <functional>
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
        Record({PromptRecord::Kind::Warn, title, text, icon});
        WhileOpen();
    }
    bool Confirm(const std::string& text) override {
        Record({PromptRecord::Kind::Confirm, {}, text, MsgIcon::Question});
        WhileOpen();
        std::lock_guard lock(mutex_);
        return confirm_;
    }
    void WhileOpen(std::function<void()> open) {
        std::lock_guard lock(mutex_);
        while_open_ = std::move(open);
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
    void Record(PromptRecord record) {
        std::lock_guard lock(mutex_);
        records_.push_back(std::move(record));
    }
    // Outside the lock: what runs there may show another box.
    void WhileOpen() {
        std::function<void()> open;
        {
            std::lock_guard lock(mutex_);
            open = while_open_;
        }
        if (open) open();
    }

    mutable std::mutex mutex_;
    std::vector<PromptRecord> records_;
    bool confirm_ = false;
    std::function<void()> while_open_;
};

}  // namespace fk::test
