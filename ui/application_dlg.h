// The main window: title strip with Min / Close / Info, the navigation panel on the
// left, the page area on the right, the Help menu and the notification-area icon.
// Closing it ends the program.
#pragma once

#include <QPoint>
#include <QUrl>
#include <functional>
#include <string>

#include "ui/page.h"
#include "ui/page_factory.h"
#include "ui/skin_dialog.h"

class QMenu;

namespace fk {

class IPrompter;
class CChildDlg;
class CImageButton;
class CMenuDlg;
class CTrayIcon;

// Where a Help entry's language-pack value leads: a value with a scheme is an address
// as it stands, any other value a page under the program's data folder.
QUrl HelpAddress(const std::string& pack_value);

class CApplicationDlg : public CSkinDialog {
    Q_OBJECT
  public:
    static constexpr int kWidth = 1240;
    static constexpr int kHeight = 720;
    static constexpr int kMenuTop = 158;
    static constexpr int kPageTop = 86;
    static constexpr int kMenuWidth = 190;

    // Opens an address with the desktop's handler; tests replace it.
    using UrlOpener = std::function<void(const QUrl&)>;

    CApplicationDlg(const UiContext& context, const std::string& version_text,
                    QWidget* parent = nullptr, const PageFactory& factory = CreatePage);
    ~CApplicationDlg() override;

    void SetUrlOpener(UrlOpener opener) { open_url_ = std::move(opener); }

    CMenuDlg* Menu() const { return menu_; }
    CChildDlg* Pages() const { return pages_; }
    QMenu* HelpMenu() const { return help_menu_; }
    CTrayIcon* Tray() const { return tray_; }
    CImageButton* MinButton() const { return min_; }
    CImageButton* CloseButton() const { return close_; }
    CImageButton* InfoButton() const { return info_; }

  public slots:
    // Switches page as if its navigation button had been pressed.
    void SelectPage(int code);
    void ShowFromTray();
    void MinimiseToTray();
    // The program's name and version, in a box of its own.
    void ShowAbout();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void BuildTitleStrip();
    void BuildHelpMenu();
    void OpenHelpMenu();

    CMenuDlg* menu_ = nullptr;
    CChildDlg* pages_ = nullptr;
    QMenu* help_menu_ = nullptr;
    CTrayIcon* tray_ = nullptr;
    CImageButton* min_ = nullptr;
    CImageButton* close_ = nullptr;
    CImageButton* info_ = nullptr;
    IPrompter& prompter_;
    std::string version_text_;
    UrlOpener open_url_;
    QPoint drag_offset_;
    bool dragging_ = false;
};

}  // namespace fk
