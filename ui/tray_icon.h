// The notification-area icon: brings the hidden main window back and offers Exit.
// Desktops without a notification area simply get no icon.
#pragma once

#include <QObject>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace fk {

class CTrayIcon : public QObject {
    Q_OBJECT
  public:
    // `window` is shown on "Show Utility" and on a double click.
    explicit CTrayIcon(QWidget* window);
    ~CTrayIcon() override;

    bool IsPresent() const { return icon_ != nullptr; }
    QMenu* Menu() const { return menu_; }

  signals:
    void showRequested();
    void exitRequested();

  private:
    QMenu* menu_ = nullptr;
    QSystemTrayIcon* icon_ = nullptr;
};

}  // namespace fk
