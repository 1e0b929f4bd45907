#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "config/batch_ip_dlg.h"
#include "config/command_blocks.h"
#include "config/validation.h"
#include "operations/batch_switch_dlg.h"
#include "operations/status_page.h"
#include "protocol/packet.h"
#include "support/device_rows.h"
#include "support/ui_context.h"
#include "ui/application_dlg.h"
#include "ui/child_dlg.h"
#include "ui/image_button.h"
#include "ui/menu_dlg.h"
#include "ui/skin.h"

using namespace fk;

namespace {

constexpr int kLocation = 2;
constexpr int kMac = 5;
constexpr int kOperate = 13;
constexpr auto kDeadline = std::chrono::seconds(5);

struct StatusFixture {
    test::TestUiContext ui;
    std::unique_ptr<CStatusDlg> page;
    std::vector<std::string> opened;

    void Open() {
        page = std::make_unique<CStatusDlg>(ui.context, nullptr);
        page->SetUrlOpener([this](const std::string& url) { opened.push_back(url); });
        page->resize(1600, 900);
        page->show();
        page->RefreshPage();
    }
    int Row(int n) const { return test::RowOfMac(*page->Grid(), kMac, test::TestMac(n)); }
    void Tick(int n) { page->Grid()->SetTicked(Row(n), true); }
};

// Types in the name of the row and presses Enter, as a user edits the cell.
void EditName(CStatusDlg& page, int row, const QString& text) {
    test::ClickCell(*page.Grid(), row, kLocation);
    auto* editor = page.Grid()->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    // Key clicks carry Latin-1 only; names in other scripts arrive as an input method
    // would deliver them.
    editor->insert(text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The item view commits an edit from the event queue.
    QCoreApplication::processEvents();
}

}  // namespace

class StatusPageTest : public QObject {
    Q_OBJECT
  private slots:
    void searchRunsThirtyTicksWithTheListLocked() {
        StatusFixture f;
        test::FillStore(*f.ui.store, 2);
        f.Open();
        QTest::keyClicks(f.page->SearchBox(), "dev1");
        QSignalSpy busy(f.page.get(), &CPageBase::busyChanged);

        f.page->SearchButton()->click();
        QVERIFY(f.page->Searching());
        QCOMPARE(f.ui.link.Releases(), 1);
        QCOMPARE(f.ui.link.Drops(), 1);
        QCOMPARE(f.ui.link.Prunes(), 1);
        QCOMPARE(f.ui.link.Searches(), 1);
        QVERIFY(f.page->SearchBox()->text().isEmpty());
        QCOMPARE(f.page->Grid()->rowCount(), 2);
        QCOMPARE(f.page->SearchButton()->text(), QStringLiteral("Stop"));
        QVERIFY(!f.page->SearchBox()->isEnabled());
        QVERIFY(!f.page->Grid()->isEnabled());
        QVERIFY(!f.page->PageSizeBox()->isEnabled());
        QVERIFY(f.page->BusyAnimation()->isVisible());
        QVERIFY(f.page->SearchTimer().isActive());
        QCOMPARE(f.page->SearchTimer().interval(), 1000);
        QCOMPARE(busy.size(), 1);
        QCOMPARE(busy[0][0].toBool(), true);

        // A device reporting during the session shows at the next third tick.
        f.ui.store->SaveDeviceReport(test::TestDevice(9, "198.18.0.9", "late"));
        f.page->OnSearchTick();
        f.page->OnSearchTick();
        QCOMPARE(f.page->Grid()->rowCount(), 2);
        f.page->OnSearchTick();
        QCOMPARE(f.page->Grid()->rowCount(), 3);
        for (int i = 3; i < 30; ++i) f.page->OnSearchTick();

        QVERIFY(!f.page->Searching());
        QCOMPARE(f.ui.link.Searches(), 10);
        QVERIFY(!f.page->SearchTimer().isActive());
        QCOMPARE(f.page->SearchButton()->text(), QStringLiteral("Search"));
        QVERIFY(f.page->SearchBox()->isEnabled());
        QVERIFY(f.page->Grid()->isEnabled());
        QVERIFY(!f.page->BusyAnimation()->isVisible());
        QCOMPARE(busy.size(), 2);
        QCOMPARE(busy[1][0].toBool(), false);

        // A stop right after a start still forgets the stale devices.
        f.page->SearchButton()->click();
        f.page->SearchButton()->click();
        QVERIFY(!f.page->Searching());
        QCOMPARE(f.ui.link.Releases(), 2);
        QCOMPARE(f.ui.link.Prunes(), 2);
        QCOMPARE(f.ui.link.Searches(), 11);
        QVERIFY(!f.page->SearchTimer().isActive());
    }

    void searchLocksTheNavigationOfTheMainWindow() {
        test::TestUiContext ui;
        CApplicationDlg window(ui.context, "1.0.0.0");
        auto* status = qobject_cast<CStatusDlg*>(window.Pages()->Page(PAGE_STATUS));
        QVERIFY(status);
        status->SearchButton()->click();
        QVERIFY(!window.Menu()->isEnabled());
        status->SearchButton()->click();
        QVERIFY(window.Menu()->isEnabled());
    }

    void renameInPlace_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("sent");
        QTest::addColumn<QString>("message");
        const QString plain = QString::fromUtf8(kMsgNamePlain);
        const QString restricted = QString::fromUtf8(kMsgNameRestricted);
        QTest::newRow("valid") << 3 << "tower 2"
                               << "tower 2" << true << "";
        QTest::newRow("chinese") << 3 << QString::fromUtf8("\xe5\x8c\x97 roof")
                                 << QString::fromUtf8("\xe5\x8c\x97 roof") << true << "";
        QTest::newRow("same") << 3 << "dev0"
                              << "dev0" << false << "";
        QTest::newRow("empty") << 3 << ""
                               << "dev0" << false << "";
        QTest::newRow("plain class, too long") << 3 << QString(33, 'x') << "dev0" << false << plain;
        QTest::newRow("restricted class, space") << 4 << "a b"
                                                 << "dev0" << false << restricted;
    }
    void renameInPlace() {
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(QString, cell);
        QFETCH(bool, sent);
        QFETCH(QString, message);
        StatusFixture f;
        f.ui.store->SaveDeviceReport(test::TestDevice(1, "198.18.0.10", "dev0", type));
        f.Open();
        EditName(*f.page, f.Row(1), typed);
        QCOMPARE(QString::fromStdString(f.page->Grid()->CellText(f.Row(1), kLocation)), cell);
        if (sent) {
            QVERIFY(f.ui.link.WaitForSent(1, kDeadline));
            f.page->JoinSenders();
            const auto commands = f.ui.link.Sent();
            QCOMPARE(commands.size(), size_t{1});
            QCOMPARE(commands[0].type, std::uint16_t{MSG_SET_NAME});
            QCOMPARE(commands[0].ip, std::string("198.18.0.10"));
            QCOMPARE(commands[0].mac, test::TestMac(1));
            QVERIFY(commands[0].retransmit);
            const name_set_stu block = BuildNameBlock(typed.toStdString());
            QCOMPARE(commands[0].payload, std::vector<std::uint8_t>(block.begin(), block.end()));
            QVERIFY(f.page->RefreshTimer().isActive());
            QCOMPARE(f.page->RefreshTimer().interval(), 2000);
        } else {
            f.page->JoinSenders();
            QVERIFY(f.ui.link.Sent().empty());
            QVERIFY(!f.page->RefreshTimer().isActive());
        }
        const auto texts = f.ui.prompter.Texts();
        if (message.isEmpty()) {
            QVERIFY(texts.empty());
        } else {
            QCOMPARE(texts.size(), size_t{1});
            QCOMPARE(QString::fromStdString(texts[0]), message);
            QVERIFY(f.ui.prompter.Records()[0].icon == MsgIcon::Warning);
            QVERIFY(f.ui.prompter.Records()[0].title.empty());
        }
    }

    void webLinkOpensOnlyForReportedDevices() {
        StatusFixture f;
        f.ui.store->SaveDeviceReport(test::TestDevice(1, "198.18.0.10", "dev0"));
        ap_info_stu announced = test::TestDevice(40, "198.18.0.40", "");
        announced.ap_status = kStatusAnnounced;
        f.ui.link.SetPending({announced});
        f.Open();
        test::ClickCell(*f.page->Grid(), f.Row(40), kOperate);
        QVERIFY(f.opened.empty());
        test::ClickCell(*f.page->Grid(), f.Row(1), kOperate);
        QCOMPARE(f.opened, std::vector<std::string>{"http://198.18.0.10"});
        // Another cell opens nothing.
        test::ClickCell(*f.page->Grid(), f.Row(1), 4);
        QCOMPARE(f.opened.size(), size_t{1});
    }

    // An announced radio the PC has no address for is drawn in the skin's warning colour
    // with the reason and the fix on every cell; a reachable one and a reported one
    // are not.
    void radioInNoLocalNetworkIsMarkedWithTheFix() {
        const std::string fix =
            "This PC has no address in 192.168.1.0/24; add one to eth0, for example "
            "192.168.1.250/24";
        const struct {
            int n;
            const char* ip;
            bool announced;
            bool unreachable;
        } cases[] = {{40, "192.168.1.20", true, true},
                     {41, "198.18.0.41", true, false},
                     {1, "198.18.0.10", false, false}};
        StatusFixture f;
        std::vector<ap_info_stu> pending;
        for (const auto& c : cases) {
            ap_info_stu record = test::TestDevice(c.n, c.ip, "");
            if (c.unreachable) f.ui.link.SetUnreachable(c.ip, fix);
            if (!c.announced) {
                f.ui.store->SaveDeviceReport(record);
                continue;
            }
            record.ap_status = kStatusAnnounced;
            pending.push_back(record);
        }
        f.ui.link.SetPending(pending);
        f.Open();
        const QColor warning = ToQColor(CurrentSkin().text_down_color);
        for (const auto& c : cases) {
            const int row = f.Row(c.n);
            QVERIFY(row >= 0);
            const std::string expected = c.unreachable ? fix : "";
            QCOMPARE(f.page->Grid()->RowWarning(row), expected);
            for (int column = 1; column < f.page->Grid()->columnCount(); ++column) {
                const QTableWidgetItem* item = f.page->Grid()->item(row, column);
                QCOMPARE(item->toolTip().toStdString(), expected);
                QCOMPARE(item->foreground().color() == warning, c.unreachable);
            }
        }
    }

    void setIpHandsTheRangeToTheTickedDevices() {
        StatusFixture f;
        ap_info_stu first = test::TestDevice(1, "198.18.0.10", "a");
        const auto gw = IpTextToOctets("198.18.0.1");
        std::copy(gw.begin(), gw.end(), first.report.ip_gateway);
        f.ui.store->SaveDeviceReport(first);
        f.ui.store->SaveDeviceReport(test::TestDevice(2, "198.18.0.11", "b"));
        f.ui.store->SaveDeviceReport(test::TestDevice(3, "198.18.0.12", "c"));
        f.ui.store->SaveDeviceReport(test::TestDevice(4, "198.18.0.13", "d"));
        f.Open();
        // Ascending by address so the first ticked row is device 1.
        test::ClickHeader(*f.page->Grid(), 4);
        for (int n : {1, 2, 3}) f.Tick(n);

        f.page->SetDialogRunner([&](QDialog& dialog) {
            auto& window = dynamic_cast<CIpsetMutilDlg&>(dialog);
            // Preset from the first device; the end is for the user to give.
            [&] {
                QCOMPARE(window.BeginField()->text(), QStringLiteral("198.18.0.10"));
                QCOMPARE(window.MaskField()->text(), QStringLiteral("255.255.255.0"));
                QCOMPARE(window.GatewayField()->text(), QStringLiteral("198.18.0.1"));
                QVERIFY(window.EndField()->text().isEmpty());
                QVERIFY(!window.EndField()->isHidden());
            }();
            // Two devices' worth of range first: rejected, nothing sent.
            window.BeginField()->setText("198.18.1.254");
            window.EndField()->setText("198.18.1.254");
            window.Save();
            [&] {
                QVERIFY(f.ui.prompter.Saw("The ip address is invalid!"));
                QVERIFY(window.Progress()->isHidden());
            }();
            window.MaskField()->setText("255.255.0.0");
            window.EndField()->setText("198.18.2.9");
            window.Save();
            [&] {
                QVERIFY(!window.Progress()->isHidden());
                QVERIFY(!window.SaveButton()->isEnabled());
                QVERIFY(!window.CancelButton()->isEnabled());
            }();
            for (int i = 0; i < 30 && window.ProgressTimer().isActive(); ++i)
                window.OnProgressTick();
            return window.result() == QDialog::Accepted;
        });
        f.page->SetIpButton()->click();
        QVERIFY(f.ui.link.WaitForSent(3, kDeadline));
        f.page->JoinSenders();
        const auto sent = f.ui.link.SentOfType(MSG_SET_IP);
        QCOMPARE(sent.size(), size_t{3});
        const char* expected[] = {"198.18.1.254", "198.18.2.1", "198.18.2.2"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(sent[i].mac, test::TestMac(i + 1));
            QCOMPARE(IpOctetsToText({sent[i].payload[1], sent[i].payload[2], sent[i].payload[3],
                                     sent[i].payload[4]}),
                     std::string(expected[i]));
            QCOMPARE(sent[i].payload[5], std::uint8_t{255});
            QCOMPARE(sent[i].payload[7], std::uint8_t{0});
        }
        QCOMPARE(f.ui.link.PendingIpCalls().size(), size_t{3});
        // Three rediscovery passes, the first after releasing unreported devices.
        QCOMPARE(f.ui.link.Releases(), 1);
        QCOMPARE(f.ui.link.Searches(), 3);
    }

    void setIpForOneDeviceHidesTheEnd() {
        StatusFixture f;
        f.ui.store->SaveDeviceReport(test::TestDevice(1, "198.18.0.10", "a"));
        f.Open();
        f.Tick(1);
        f.page->SetDialogRunner([&](QDialog& dialog) {
            auto& window = dynamic_cast<CIpsetMutilDlg&>(dialog);
            [&] { QVERIFY(window.EndField()->isHidden()); }();
            window.BeginField()->setText("198.18.0.50");
            window.EndField()->setText("1.1.1.1");  // ignored
            window.Save();
            return true;
        });
        f.page->SetIpButton()->click();
        QVERIFY(f.ui.link.WaitForSent(1, kDeadline));
        f.page->JoinSenders();
        const auto calls = f.ui.link.PendingIpCalls();
        QCOMPARE(calls.size(), size_t{1});
        QCOMPARE(calls[0].new_ip, std::string("198.18.0.50"));
        QCOMPARE(calls[0].old_ip, std::string("198.18.0.10"));
    }

    void switchBatchSendsToCapableDevicesOnly_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("choose_enable");
        QTest::addColumn<bool>("save");
        QTest::newRow("bridge off") << 0 << false << true;
        QTest::newRow("bridge on") << 0 << true << true;
        QTest::newRow("slotra on") << 1 << true << true;
        QTest::newRow("slotra off") << 1 << false << true;
        QTest::newRow("slotra cancelled") << 1 << false << false;
    }
    void switchBatchSendsToCapableDevicesOnly() {
        QFETCH(int, kind);
        QFETCH(bool, choose_enable);
        QFETCH(bool, save);
        const SwitchKind which = kind == 0 ? SwitchKind::TransparentBridge : SwitchKind::Slotra;
        // The feature's byte of the twelve and its command, as the devices read them.
        const std::size_t byte = kind == 0 ? 0 : 1;
        const std::uint16_t command = kind == 0 ? MSG_SET_TRANSPARENT_BRIDGE : MSG_SET_TDMA;
        StatusFixture f;
        // Model 6 has both features; model 4 has neither; model 3 has bridging only.
        ap_info_stu first = test::TestDevice(1, "198.18.0.10", "a", 6);
        first.report.bridge_transparent = 1;
        first.report.tdmaEn = 1;
        f.ui.store->SaveDeviceReport(first);
        f.ui.store->SaveDeviceReport(test::TestDevice(2, "198.18.0.11", "b", 4));
        f.ui.store->SaveDeviceReport(test::TestDevice(3, "198.18.0.12", "c", 3));
        f.Open();
        test::ClickHeader(*f.page->Grid(), 4);
        for (int n : {1, 2, 3}) f.Tick(n);

        f.page->SetDialogRunner([&](QDialog& dialog) {
            auto& window = dynamic_cast<CSwitchSetMultiDlg&>(dialog);
            [&] {
                QVERIFY(window.EnableChoice()->isChecked());  // preset from device 1
                QCOMPARE(f.page->SwitchBlock()[byte], std::uint8_t{1});
            }();
            (choose_enable ? window.EnableChoice() : window.DisableChoice())->click();
            (save ? window.SaveButton() : window.CancelButton())->click();
            return window.result() == QDialog::Accepted;
        });
        (which == SwitchKind::TransparentBridge ? f.page->SetBridgeButton()
                                                : f.page->SlotraButton())
            ->click();
        const std::vector<int> expected_devices =
            which == SwitchKind::TransparentBridge ? std::vector<int>{1, 3} : std::vector<int>{1};
        if (!save) {
            f.page->JoinSenders();
            QVERIFY(f.ui.link.Sent().empty());
            QCOMPARE(f.page->SwitchBlock()[byte], std::uint8_t{1});
            return;
        }
        QVERIFY(f.ui.link.WaitForSent(expected_devices.size(), kDeadline));
        f.page->JoinSenders();
        const auto sent = f.ui.link.Sent();
        QCOMPARE(sent.size(), expected_devices.size());
        for (std::size_t i = 0; i < sent.size(); ++i) {
            QCOMPARE(sent[i].type, command);
            QVERIFY(sent[i].retransmit);
            QCOMPARE(sent[i].mac, test::TestMac(expected_devices[i]));
            std::vector<std::uint8_t> block(12, 0);
            block[byte] = choose_enable ? 1 : 0;
            QCOMPARE(sent[i].payload, block);
        }
        // The list follows two seconds after the last command.
        QTRY_VERIFY_WITH_TIMEOUT(f.page->RefreshTimer().isActive(), 5000);
        QCOMPARE(f.page->RefreshTimer().interval(), 2000);
    }

    void batchButtonsWarnWithoutTicksOrCapableDevices() {
        StatusFixture f;
        f.ui.store->SaveDeviceReport(test::TestDevice(2, "198.18.0.11", "b", 4));
        f.Open();
        bool shown = false;
        f.page->SetDialogRunner([&](QDialog&) { return shown = true; });
        f.page->SetIpButton()->click();
        f.Tick(2);
        f.page->SlotraButton()->click();
        f.page->SetBridgeButton()->click();
        QVERIFY(!shown);
        QCOMPARE(f.ui.prompter.Texts(),
                 (std::vector<std::string>{"Please select the devices!",
                                           "Please select configurable devices!",
                                           "Please select configurable devices!"}));
    }
};

QTEST_MAIN(StatusPageTest)
#include "status_page_test.moc"
