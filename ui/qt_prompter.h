// Message boxes of the desktop: one OK button, or OK and Cancel for a confirmation.
#pragma once

#include <QObject>
#include <functional>

#include "app/prompter.h"

namespace fk {

class CQtPrompter final : public QObject, public IPrompter {
    Q_OBJECT
  public:
    // `default_title` is shown when a message has no title of its own.
    explicit CQtPrompter(QString default_title, QObject* parent = nullptr);

    // Callable from any thread: sender threads wait while the box is shown on the
    // user-interface thread, which is the only one allowed to build widgets.
    void Warn(const std::string& title, const std::string& text, MsgIcon icon) override;
    bool Confirm(const std::string& text) override;

  private:
    void ShowWarn(const QString& title, const QString& text, MsgIcon icon);
    bool ShowConfirm(const QString& text);
    void RunOnUiThread(const std::function<void()>& work);

    QString default_title_;
};

}  // namespace fk
