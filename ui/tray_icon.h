// The notification-area icon: brings the hidden main window back and offers Exit.
// Desktops without a notification area simply get no icon.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class QMenu;
class QWidget;

namespace fk {

class CTrayIcon : public QObject {
    Q_OBJECT
  public:
    // `window` is shown on "Show Utility" and on a click or double click of the icon.
    explicit CTrayIcon(QWidget* window);
    ~CTrayIcon() override;

    bool IsPresent() const { return icon_ != nullptr; }
    QMenu* Menu() const { return menu_; }
    // What the desktop reports of a click on the icon. Trays that speak
    // StatusNotifierItem (KDE, GNOME's AppIndicator, most Linux desktops) report a
    // single click only, so that one brings the window back as a double click does.
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

  signals:
    void showRequested();
    void exitRequested();

  private:
    QMenu* menu_ = nullptr;
    QSystemTrayIcon* icon_ = nullptr;
};

}  // namespace fk
