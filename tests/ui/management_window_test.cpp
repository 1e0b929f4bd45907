#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "config/ip_set_dlg.h"
#include "config/management_dlg.h"
#include "config/management_page.h"
#include "config/time_reboot_dlg.h"
#include "config/vlan_dlg.h"
#include "protocol/packet.h"
#include "support/device_rows.h"
#include "support/ui_context.h"
#include "ui/device_grid.h"
#include "ui/image_button.h"
#include "ui/wait_dlg.h"

using namespace fk;

namespace {

constexpr int kMacColumn = 4;
constexpr int kOperateColumn = 10;
constexpr auto kDeadline = std::chrono::seconds(5);

struct PageFixture {
    test::TestUiContext ui;
    std::unique_ptr<CManagementDlg> page;

    void Open() {
        page = std::make_unique<CManagementDlg>(ui.context, nullptr);
        page->resize(1600, 900);
        page->show();
        page->RefreshPage();
    }
    int Row(int n) const { return test::RowOfMac(*page->Grid(), kMacColumn, test::TestMac(n)); }
};

std::vector<std::uint16_t> Types(const std::vector<test::SentCommand>& sent) {
    std::vector<std::uint16_t> out;
    for (const auto& c : sent) out.push_back(c.type);
    return out;
}

}  // namespace

class ManagementWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void operateOpensTheRowsWindowAndRefreshesTwoSecondsAfter();
    void aDeviceThatAgedOutOpensNothing();
    void aRenameSendsOneCommandAndNoWait();
    void addressAndVlanTogetherWaitAMinuteWithTheFlagsSwapped();
    void aRefusalShowsItsTabAndSendsNothing();
    void everydayShowsItsSevenDaysTickedAndLocked();
};

void ManagementWindowTest::operateOpensTheRowsWindowAndRefreshesTwoSecondsAfter() {
    PageFixture f;
    test::FillStore(*f.ui.store, 3);
    f.Open();
    QSignalSpy busy(f.page.get(), &CManagementDlg::busyChanged);
    std::string opened_ip;
    f.page->SetWindowRunner([&](CManagementConfigDlg& window) {
        opened_ip = window.IpPane()->Input().ip;
        QCOMPARE(window.CurrentTab(), ManagementTab::Wireless);
        // The container's automatic refresh is off while the window is open.
        QCOMPARE(busy.count(), 1);
        window.CancelButton()->click();
    });
    test::ClickCell(*f.page->Grid(), f.Row(2), 1);  // not the Operate cell: nothing
    QVERIFY(opened_ip.empty());
    test::ClickCell(*f.page->Grid(), f.Row(2), kOperateColumn);
    QCOMPARE(opened_ip, std::string("198.18.0.11"));
    QCOMPARE(busy.count(), 2);
    QCOMPARE(busy.at(1).at(0).toBool(), false);
    QVERIFY(f.page->RefreshTimer().isActive());
    QCOMPARE(f.page->RefreshTimer().interval(), 2000);
    QVERIFY(f.ui.link.Sent().empty());
}

void ManagementWindowTest::aDeviceThatAgedOutOpensNothing() {
    PageFixture f;
    test::FillStore(*f.ui.store, 2);
    f.Open();
    bool opened = false;
    f.page->SetWindowRunner([&](CManagementConfigDlg&) { opened = true; });
    const int row = f.Row(1);
    f.ui.store->DeleteDevice(test::TestMac(1));
    test::ClickCell(*f.page->Grid(), row, kOperateColumn);
    QVERIFY(!opened);
    QVERIFY(f.ui.prompter.Saw("The device is no longer listed, please search again!"));
}

void ManagementWindowTest::aRenameSendsOneCommandAndNoWait() {
    test::TestUiContext ui;
    const ap_info_stu record = test::TestDevice(1, "198.18.0.10", "old");
    CCommandSender sender(ui.link);
    CManagementConfigDlg window(ui.context, record, "198.18.0.10", test::TestMac(1), 3, sender,
                                nullptr);
    bool waited = false;
    window.SetWaitRunner([&](CWaitDlg&) { waited = true; });
    window.IpPane()->Field(kIpFieldName)->setText("new");
    window.SaveButton()->click();
    sender.WaitUntilIdle();
    QVERIFY(!waited);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(Types(ui.link.Sent()), std::vector<std::uint16_t>{MSG_SET_NAME});
    QCOMPARE(ui.link.Sent()[0].payload[32], std::uint8_t{3});
}

void ManagementWindowTest::addressAndVlanTogetherWaitAMinuteWithTheFlagsSwapped() {
    test::TestUiContext ui;
    ap_info_stu record = test::TestDevice(1, "198.18.0.10", "mast", 268);
    record.report.work_mode = WORK_MODE_AP;
    CCommandSender sender(ui.link);
    CManagementConfigDlg window(ui.context, record, "198.18.0.10", test::TestMac(1), 268, sender,
                                nullptr);
    int wait_ticks = 0;
    window.SetWaitRunner([&](CWaitDlg& wait) {
        wait.StartFlow();
        while (wait.Driver().Running() && wait_ticks < 1000) {
            wait.TickNow();
            ++wait_ticks;
        }
        QCOMPARE(wait.Progress()->maximum(), 120);
    });
    window.IpPane()->Field(kIpFieldIp)->setText("198.18.0.77");
    window.ShowTab(ManagementTab::Vlan);
    window.VlanPane()->EnableBox()->setChecked(true);
    for (int field = kVlanFieldPvid; field <= kVlanFieldLan4; ++field)
        window.VlanPane()->Field(field)->setText("9");
    window.SaveButton()->click();
    QVERIFY(ui.link.WaitForSent(2, kDeadline));
    sender.WaitUntilIdle();
    QCOMPARE(wait_ticks, 119);
    // The one-minute wait does not search: the device restarts.
    QCOMPARE(ui.link.Searches(), 0);
    const auto sent = ui.link.Sent();
    QCOMPARE(Types(sent), (std::vector<std::uint16_t>{MSG_SET_VLAN, MSG_SET_IP}));
    QCOMPARE(sent[0].payload.size(), size_t{22});
    QCOMPARE(sent[0].payload[8], std::uint8_t{1});
    QCOMPARE(sent[1].payload[21], std::uint8_t{0});
    QCOMPARE(ui.link.PendingIpCalls().at(0).new_ip, std::string("198.18.0.77"));
}

void ManagementWindowTest::aRefusalShowsItsTabAndSendsNothing() {
    test::TestUiContext ui;
    const ap_info_stu record = test::TestDevice(1, "198.18.0.10", "mast");
    CCommandSender sender(ui.link);
    CManagementConfigDlg window(ui.context, record, "198.18.0.10", test::TestMac(1), 3, sender,
                                nullptr);
    window.ShowTab(ManagementTab::TimedReboot);
    window.RebootPane()->EnableBox()->setChecked(true);
    window.RebootPane()->HourField()->setText("24");
    window.RebootPane()->DayBox(0)->setChecked(true);
    window.SaveButton()->click();
    QCOMPARE(ui.prompter.Records().size(), size_t{1});
    QVERIFY(ui.prompter.Saw("The time is error!"));
    QCOMPARE(window.CurrentTab(), ManagementTab::TimedReboot);
    QVERIFY(window.result() != QDialog::Accepted);
    QVERIFY(ui.link.Sent().empty());
}

void ManagementWindowTest::everydayShowsItsSevenDaysTickedAndLocked() {
    CTimeRebootDlg pane({1, 0xFE, 0x3C, 0x00}, nullptr);
    QVERIFY(pane.EverydayBox()->isChecked());
    for (int day = 0; day < 7; ++day) {
        QVERIFY(pane.DayBox(day)->isChecked());
        QVERIFY(!pane.DayBox(day)->isEnabled());
    }
    QCOMPARE(pane.HourField()->text(), QStringLiteral("1"));
    pane.EverydayBox()->setChecked(false);
    QVERIFY(pane.DayBox(3)->isEnabled() && !pane.DayBox(3)->isChecked());
    // Some days: kept as they are, and free to change.
    CTimeRebootDlg some({1, 0x22, 0, 0}, nullptr);
    QVERIFY(some.DayBox(0)->isChecked() && some.DayBox(4)->isChecked());
    QVERIFY(!some.DayBox(1)->isChecked() && some.DayBox(1)->isEnabled());
}

QTEST_MAIN(ManagementWindowTest)
#include "management_window_test.moc"
