#include "ui/application_dlg.h"

#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>

#include "app/language.h"
#include "ui/child_dlg.h"
#include "ui/image_button.h"
#include "ui/menu_dlg.h"
#include "ui/navigation_table.h"
#include "ui/skin.h"
#include "ui/translate_widgets.h"
#include "ui/tray_icon.h"

namespace fk {
namespace {

constexpr int kTitleButton = 30;
constexpr int kTitleMargin = 10;

struct HelpEntry {
    const char* caption;
    const char* url_key;
    SkinImage image;
    int command_id;
};
constexpr HelpEntry kHelpEntries[] = {
    {"Product", "Product_url", SkinImage::HelpProduct, 32774},
    {"Support", "Support_url", SkinImage::HelpSupport, 32775},
    {"Contact Us", "Contact_url", SkinImage::HelpContact, 32779},
    {"Help", "Help_url", SkinImage::HelpHelp, 57670},
};

void OpenWithDesktop(const QString& address) {
    // A missing translation leaves the key itself, which no handler opens; that
    // failure is silent, as the desktop's own handler failures are.
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

}  // namespace

CApplicationDlg::CApplicationDlg(const UiContext& context, const std::string& version_text,
                                 QWidget* parent, const PageFactory& factory)
    : CSkinDialog(parent, Qt::Window | Qt::FramelessWindowHint), open_url_(OpenWithDesktop) {
    setWindowIcon(SkinIcon(SkinImage::ApplicationIcon));
    setWindowTitle(QString::fromStdString(Translate("CPEManagement")));
    TranslateWindow(this);
    SetBackgroundImage(SkinImage::MainBackground);
    setFixedSize(kWidth, kHeight);

    BuildTitleStrip();
    BuildHelpMenu();

    tray_ = new CTrayIcon(this);
    connect(tray_, &CTrayIcon::showRequested, this, &CApplicationDlg::ShowFromTray);
    connect(tray_, &CTrayIcon::exitRequested, this, &QDialog::accept);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    menu_ = new CMenuDlg(version_text, this);
    menu_->setGeometry(0, kMenuTop, kMenuWidth, kHeight - kMenuTop);
    pages_ = new CChildDlg(context, this, factory);
    pages_->setGeometry(kMenuWidth, kPageTop, kWidth - kMenuWidth, kHeight - kPageTop);
    connect(menu_, &CMenuDlg::pageChosen, pages_, &CChildDlg::ShowPage);
    // A page that runs something (the status page's search) keeps the user on it and
    // the container from re-reading it underneath until it is done.
    for (int code : kPageCreationOrder) {
        if (CPageBase* page = pages_->Page(code))
            connect(page, &CPageBase::busyChanged, this, [this](bool busy) {
                menu_->setEnabled(!busy);
                pages_->SetAutoRefresh(!busy);
            });
    }
}

CApplicationDlg::~CApplicationDlg() = default;

void CApplicationDlg::BuildTitleStrip() {
    struct TitleButton {
        CImageButton** slot;
        SkinImage image;
        const char* tip;
        const char* name;
    };
    const TitleButton buttons[] = {
        {&close_, SkinImage::CloseNormal, "Close", "title1000"},
        {&min_, SkinImage::MinNormal, "Min", "title1002"},
        {&info_, SkinImage::HelpNormal, "Info", "title1001"},
    };
    int x = kWidth - kTitleMargin - kTitleButton;
    for (const auto& b : buttons) {
        auto* button = new CImageButton(this);
        button->SetSkinImage(b.image);
        button->setToolTip(QString::fromStdString(Translate(b.tip)));
        button->setObjectName(QString::fromLatin1(b.name));
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(x, kTitleMargin, kTitleButton, kTitleButton);
        x -= kTitleButton + 4;
        *b.slot = button;
    }
    connect(close_, &CImageButton::clicked, this, &QDialog::reject);
    connect(min_, &CImageButton::clicked, this, &CApplicationDlg::MinimiseToTray);
    connect(info_, &CImageButton::clicked, this, &CApplicationDlg::OpenHelpMenu);
}

void CApplicationDlg::BuildHelpMenu() {
    help_menu_ = new QMenu(this);
    for (const auto& entry : kHelpEntries) {
        QAction* action = help_menu_->addAction(SkinIcon(entry.image), entry.caption);
        action->setObjectName(QStringLiteral("help%1").arg(entry.command_id));
        const char* key = entry.url_key;
        connect(action, &QAction::triggered, this,
                [this, key] { open_url_(QString::fromStdString(Translate(key))); });
    }
    TranslateMenu(help_menu_);
}

void CApplicationDlg::OpenHelpMenu() {
    help_menu_->popup(QCursor::pos() + QPoint(-6, 30));
}

void CApplicationDlg::SelectPage(int code) {
    menu_->Select(code);
    pages_->ShowPage(code);
}

void CApplicationDlg::ShowFromTray() {
    showNormal();
    raise();
    activateWindow();
}

void CApplicationDlg::MinimiseToTray() {
    // Without a notification area a hidden window could never come back.
    if (tray_->IsPresent())
        hide();
    else
        showMinimized();
}

// The window has no system frame, so the title strip moves it.
void CApplicationDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->position().y() < kPageTop) {
        dragging_ = true;
        drag_offset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
        event->accept();
        return;
    }
    CSkinDialog::mousePressEvent(event);
}

void CApplicationDlg::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        move(event->globalPosition().toPoint() - drag_offset_);
        event->accept();
        return;
    }
    CSkinDialog::mouseMoveEvent(event);
}

void CApplicationDlg::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    CSkinDialog::mouseReleaseEvent(event);
}

}  // namespace fk
