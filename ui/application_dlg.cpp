#include "ui/application_dlg.h"

#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>

#include "app/language.h"
#include "app/program_dir.h"
#include "app/prompter.h"
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
    {FK_TR("Product"), FK_TR("Product_url"), SkinImage::HelpProduct, 32774},
    {FK_TR("Support"), FK_TR("Support_url"), SkinImage::HelpSupport, 32775},
    {FK_TR("Contact Us"), FK_TR("Contact_url"), SkinImage::HelpContact, 32779},
    {FK_TR("Help"), FK_TR("Help_url"), SkinImage::HelpHelp, 57670},
};
constexpr int kAboutCommand = 16;

void OpenWithDesktop(const QUrl& address) {
    // A missing translation leaves the key itself, which names no page; that failure
    // is silent, as the desktop's own handler failures are.
    QDesktopServices::openUrl(address);
}

}  // namespace

QUrl HelpAddress(const std::string& pack_value) {
    const QString text = QString::fromStdString(pack_value);
    const QUrl url(text, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty()) return url;
    // The shipped pages travel with the program, so a pack names them relative to its
    // data folder and they open wherever the program was installed.
    return QUrl::fromLocalFile(QString::fromStdString(DataDirectory()) + text);
}

CApplicationDlg::CApplicationDlg(const UiContext& context, const std::string& version_text,
                                 QWidget* parent, const PageFactory& factory)
    : CSkinDialog(parent, Qt::Window | Qt::FramelessWindowHint),
      prompter_(context.prompter),
      version_text_(version_text),
      open_url_(OpenWithDesktop) {
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
        {&close_, SkinImage::CloseNormal, FK_TR("Close"), "title1000"},
        {&min_, SkinImage::MinNormal, FK_TR("Min"), "title1002"},
        {&info_, SkinImage::HelpNormal, FK_TR("Info"), "title1001"},
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
                [this, key] { open_url_(HelpAddress(Translate(key))); });
    }
    // The window has no system frame, so the about entry lives with the other help.
    help_menu_->addSeparator();
    QAction* about = help_menu_->addAction(FK_TR("about"));
    about->setObjectName(QStringLiteral("help%1").arg(kAboutCommand));
    connect(about, &QAction::triggered, this, &CApplicationDlg::ShowAbout);
    TranslateMenu(help_menu_);
}

void CApplicationDlg::ShowAbout() {
    const std::string name = Translate("CPEManagement");
    prompter_.Warn(name, name + " " + version_text_, MsgIcon::Information);
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
