#include "ui/tray_icon.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

#include "app/language.h"
#include "ui/skin.h"
#include "ui/translate_widgets.h"

namespace fk {

CTrayIcon::CTrayIcon(QWidget* window) : QObject(window) {
    menu_ = new QMenu(window);
    QAction* show = menu_->addAction(FK_TR("Show Utility"));
    show->setObjectName(QStringLiteral("tray32781"));
    QAction* exit = menu_->addAction(FK_TR("Exit"));
    exit->setObjectName(QStringLiteral("tray32782"));
    TranslateMenu(menu_);
    connect(show, &QAction::triggered, this, &CTrayIcon::showRequested);
    connect(exit, &QAction::triggered, this, &CTrayIcon::exitRequested);

    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    icon_ = new QSystemTrayIcon(SkinIcon(SkinImage::ApplicationIcon), this);
    icon_->setToolTip(QString::fromStdString(Translate("CPEManagement")));
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this, &CTrayIcon::OnActivated);
    icon_->show();
}

void CTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        emit showRequested();
}

CTrayIcon::~CTrayIcon() {
    if (icon_ != nullptr) icon_->hide();
}

}  // namespace fk
