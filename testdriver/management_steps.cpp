#include "testdriver/management_steps.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/language.h"
#include "config/ip_set_dlg.h"
#include "config/management_dlg.h"
#include "config/management_page.h"
#include "config/time_reboot_dlg.h"
#include "config/vlan_dlg.h"
#include "config/wep_dlg.h"
#include "config/wireless_set_dlg.h"
#include "config/wpa_dlg.h"
#include "ui/application_dlg.h"
#include "ui/child_dlg.h"
#include "ui/device_grid.h"

namespace fk::testdriver {
namespace {

CManagementConfigDlg* TopWindow() {
    return qobject_cast<CManagementConfigDlg*>(QApplication::activeModalWidget());
}

StepResult Manage(CApplicationDlg& window, const QString& mac, QString& error) {
    window.SelectPage(PAGE_MANAGEMENT);
    auto* page = dynamic_cast<CManagementDlg*>(window.Pages()->Page(PAGE_MANAGEMENT));
    if (!page) {
        error = "no management page";
        return StepResult::Failed;
    }
    page->RefreshPage();
    CDeviceGrid& grid = *page->Grid();
    const int mac_column = ColumnIndex(PAGE_MANAGEMENT, ListColumn::Mac);
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (QString::fromStdString(grid.CellText(r, mac_column)) != mac) continue;
        // The window runs its own event loop: pressed from the queue, the script goes on
        // inside that loop.
        QTimer::singleShot(0, page, [page, r] { page->OnOperateClicked(r); });
        return StepResult::Later;
    }
    error = "no row for " + mac;
    return StepResult::Failed;
}

bool SetTab(CManagementConfigDlg& w, const QString& name) {
    const std::pair<const char*, ManagementTab> tabs[] = {{"wireless", ManagementTab::Wireless},
                                                          {"ip", ManagementTab::Ip},
                                                          {"vlan", ManagementTab::Vlan},
                                                          {"reboot", ManagementTab::TimedReboot}};
    for (const auto& [text, tab] : tabs) {
        if (name == QLatin1String(text)) {
            w.ShowTab(tab);
            return true;
        }
    }
    return false;
}

// Picks the item shown as `value`, or as its translation, as a user would.
bool Choose(QComboBox* list, const QString& value) {
    int at = list->findText(value);
    if (at < 0) at = list->findText(QString::fromStdString(Translate(value.toStdString())));
    if (at < 0 || !list->isEnabled()) return false;
    list->setCurrentIndex(at);
    return true;
}

bool SetWireless(CWirelessSetDlg& tab, const QString& key, const QString& value) {
    const std::pair<const char*, QLineEdit*> texts[] = {
        {"ssid", tab.SsidField()},
        {"power", tab.PowerField()},
        {"psk", tab.PskKeyField()},
        {"key-interval", tab.PskKeyTimeField()},
        {"wep-key1", tab.WepPanel()->KeyField(0)},
        {"radius-ip", tab.WpaPanel()->ServerField()},
        {"radius-port", tab.WpaPanel()->PortField()},
        {"radius-key", tab.WpaPanel()->KeyField()},
        {"radius-key-interval", tab.WpaPanel()->KeyTimeField()}};
    for (const auto& [name, field] : texts) {
        if (key == QLatin1String(name)) {
            field->setText(value);
            return true;
        }
    }
    const std::pair<const char*, QComboBox*> lists[] = {
        {"net-mode", tab.NetModeList()},
        {"bandwidth", tab.BandwidthList()},
        {"country", tab.CountryList()},
        {"channel", tab.ChannelList()},
        {"ext-channel", tab.ExtChannelList()},
        {"security", tab.SecurityList()},
        {"wep-default", tab.WepPanel()->DefaultKeyList()}};
    for (const auto& [name, list] : lists)
        if (key == QLatin1String(name)) return Choose(list, value);
    if (key == QLatin1String("ssid-hidden")) {
        tab.HideBox()->setChecked(value == QLatin1String("on"));
        return true;
    }
    return false;
}

bool Set(CManagementConfigDlg& w, const QString& key, const QString& value) {
    if (SetWireless(*w.WirelessPane(), key, value)) return true;
    const bool on = value == QLatin1String("on");
    const std::pair<const char*, QLineEdit*> texts[] = {
        {"name", w.IpPane()->Field(kIpFieldName)},
        {"ip", w.IpPane()->Field(kIpFieldIp)},
        {"mask", w.IpPane()->Field(kIpFieldMask)},
        {"gateway", w.IpPane()->Field(kIpFieldGateway)},
        {"manage-vlan", w.VlanPane()->Field(kVlanFieldManage)},
        {"wlan-vlan", w.VlanPane()->Field(kVlanFieldWlan)},
        {"hour", w.RebootPane()->HourField()},
        {"minute", w.RebootPane()->MinuteField()}};
    for (const auto& [name, field] : texts) {
        if (key == QLatin1String(name)) {
            field->setText(value);
            return true;
        }
    }
    if (key == QLatin1String("vlan")) {
        w.VlanPane()->EnableBox()->setChecked(on);
    } else if (key == QLatin1String("reboot")) {
        w.RebootPane()->EnableBox()->setChecked(on);
    } else if (key == QLatin1String("day") && value.toInt() >= 0 && value.toInt() < 7) {
        w.RebootPane()->DayBox(value.toInt())->setChecked(true);
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool ManagementWindowOpen() {
    return TopWindow() != nullptr;
}

bool WindowOverMainOpen(const CApplicationDlg& window) {
    const QWidget* top = QApplication::activeModalWidget();
    return top != nullptr && top != &window;
}

StepResult RunManagementStep(CApplicationDlg& window, const QStringList& words, QString& error) {
    const QString& verb = words[0];
    if (verb == QLatin1String("manage") && words.size() == 2)
        return Manage(window, words[1], error);
    const bool mine = verb == QLatin1String("tab") || verb == QLatin1String("set") ||
                      verb == QLatin1String("save") || verb == QLatin1String("window-screenshot");
    if (!mine) return StepResult::NotMine;
    QWidget* top = QApplication::activeModalWidget();
    CManagementConfigDlg* w = TopWindow();
    if (verb == QLatin1String("window-screenshot") && words.size() == 2) {
        if (top && top->grab().save(words[1])) return StepResult::Done;
        error = "no window to grab into " + words[1];
        return StepResult::Failed;
    }
    if (!w) {
        error = "the management window is not open";
        return StepResult::Failed;
    }
    if (verb == QLatin1String("tab") && words.size() == 2 && SetTab(*w, words[1]))
        return StepResult::Done;
    // A value may hold spaces ("Mixed WPA/WPA2-PSK", "United States").
    if (verb == QLatin1String("set") && words.size() >= 3 &&
        Set(*w, words[1], words.mid(2).join(' ')))
        return StepResult::Done;
    if (verb == QLatin1String("save")) {
        // Save may open the wait window, whose loop the script then runs in.
        QTimer::singleShot(0, w, [w] { w->SaveButton()->click(); });
        return StepResult::Later;
    }
    error = "cannot " + words.join(' ');
    return StepResult::Failed;
}

}  // namespace fk::testdriver
