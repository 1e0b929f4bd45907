#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include "operations/bridge_config_dlg.h"
#include "operations/bridge_page.h"
#include "operations/bridge_search_ap_dlg.h"
#include "operations/bridge_steps_dlg.h"
#include "protocol/packet.h"
#include "support/device_rows.h"
#include "support/ui_context.h"
#include "ui/image_button.h"

using namespace fk;

namespace {

constexpr int kMacColumn = 4;
constexpr int kOperate = 10;
constexpr auto kDeadline = std::chrono::seconds(5);

config_otherwl_basic Ap(int n, int signal, int channel, int code, const std::string& ssid) {
    config_otherwl_basic e{};
    const std::uint8_t mac[6] = {0x02, 0xaa, 0, 0, 0, static_cast<std::uint8_t>(n)};
    std::copy(mac, mac + 6, e.mac);
    e.signal = static_cast<std::int8_t>(signal);
    e.channel = static_cast<std::uint8_t>(channel);
    e.secure_mode = static_cast<std::uint8_t>(code);
    e.ssid.Assign(ssid);
    return e;
}

std::string ApMac(int n) {
    return "02:aa:00:00:00:0" + std::to_string(n);
}

void SaveScan(CSqlManagement& store, const std::vector<config_otherwl_basic>& entries) {
    ScanResults packet;
    packet.packet_count = 1;
    packet.icount = static_cast<std::uint8_t>(entries.size());
    packet.entries = entries;
    store.SaveScanResults(packet);
}

std::size_t ScanRows(CSqlManagement& store) {
    std::vector<config_otherwl_basic> list;
    store.GetScanList(0, list, true);
    return list.size();
}

// A 5 GHz radio in China, whose lists hold 149.
ap_info_stu Radio() {
    ap_info_stu r = test::TestDevice(1, "198.18.0.10", "mast");
    r.report.rf_type = 1;
    r.report.country_code = 0;
    return r;
}

QStringList Column(const QTableWidget& grid, int column) {
    QStringList out;
    for (int r = 0; r < grid.rowCount(); ++r) out << grid.item(r, column)->text();
    return out;
}

void ClickSurveyCell(QTableWidget& grid, int row, int column) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualItemRect(grid.item(row, column)).center());
}

void ClickSurveyHeader(QTableWidget& grid, int column) {
    QHeaderView* header = grid.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
}

struct WizardFixture {
    test::TestUiContext ui;
    CCommandSender survey_sender{ui.link};
    CCommandSender save_sender{ui.link};
    ap_info_stu record = Radio();
    std::unique_ptr<CBridgeConfigDlg> wizard;

    void Open() {
        ui.store->SaveDeviceReport(record);
        wizard = std::make_unique<CBridgeConfigDlg>(ui.context, "198.18.0.10", test::TestMac(1),
                                                    record, survey_sender, save_sender, nullptr);
        wizard->show();
    }
    // The device answered with these access points.
    void Answer(const std::vector<config_otherwl_basic>& entries) {
        // The device cannot answer before the request has left.
        survey_sender.WaitUntilIdle();
        SaveScan(*ui.store, entries);
        ui.link.SetScanComplete(true);
        wizard->SurveyPanel()->TickNow();
    }
    QTableWidget& Grid() { return *wizard->SurveyPanel()->Grid(); }
    int RowOf(const std::string& mac) {
        const QStringList macs = Column(Grid(), kSurveyMac);
        return static_cast<int>(macs.indexOf(QString::fromStdString(mac)));
    }
    // Marks the access point and goes on to the security step.
    void Choose(int n) {
        ClickSurveyCell(Grid(), RowOf(ApMac(n)), kSurveySelect);
        wizard->NextButton()->click();
    }
    std::vector<test::SentCommand> Sent(std::uint16_t type) {
        survey_sender.WaitUntilIdle();
        save_sender.WaitUntilIdle();
        return ui.link.SentOfType(type);
    }
};

const std::vector<config_otherwl_basic> kThree = {
    Ap(1, -80, 6, 4, "far"), Ap(2, -65, 149, 6, "mid"), Ap(3, -40, 36, 0, "near")};

}  // namespace

class BridgeWizardTest : public QObject {
    Q_OBJECT
  private slots:
    void surveyStartsWithTheWizardAndListsStrongestFirst() {
        WizardFixture f;
        f.Open();
        CBridgeSearcgAPDlg& panel = *f.wizard->SurveyPanel();
        QCOMPARE(f.wizard->CurrentStep(), int{CBridgeConfigDlg::kStepSurvey});
        QVERIFY(panel.Scanning());
        QVERIFY(panel.ScanningLabel()->isVisible());
        QVERIFY(panel.BusyPicture()->isVisible());
        QVERIFY(!panel.RescanButton()->isVisible());
        QVERIFY(!f.wizard->BackButton()->isVisible());
        QVERIFY(!f.wizard->NextButton()->isEnabled());
        const auto scans = f.Sent(MSG_SCAN_AP);
        QCOMPARE(scans.size(), std::size_t{1});
        QCOMPARE(scans[0].ip, std::string("198.18.0.10"));
        QVERIFY(!scans[0].retransmit);

        f.Answer(kThree);
        QVERIFY(!panel.Scanning());
        QVERIFY(!panel.ScanningLabel()->isVisible());
        QVERIFY(panel.RescanButton()->isVisible());
        QCOMPARE(Column(f.Grid(), kSurveySsid), (QStringList{"near", "mid", "far"}));
        QCOMPARE(Column(f.Grid(), kSurveySecure),
                 (QStringList{"None", "WPA2-PSK/TKIP&AES", "WPA2-PSK/AES"}));
        QList<int> images;
        for (int r = 0; r < 3; ++r)
            images << f.Grid().item(r, kSurveySignal)->data(Qt::UserRole).toInt();
        QCOMPARE(images, (QList<int>{5, 3, 1}));
        QVERIFY(!f.Grid().item(0, kSurveySignal)->data(Qt::DecorationRole).isNull());
        QVERIFY(!f.wizard->NextButton()->isEnabled());
    }

    void oneMarkAtMostAndNextOnlyWhileMarked() {
        WizardFixture f;
        f.Open();
        f.Answer(kThree);
        QSignalSpy marked(f.wizard->SurveyPanel(), &CBridgeSearcgAPDlg::markedChanged);
        ClickSurveyCell(f.Grid(), 1, kSurveySelect);
        QVERIFY(f.wizard->NextButton()->isEnabled());
        ClickSurveyCell(f.Grid(), 2, kSurveySelect);
        QCOMPARE(f.Grid().item(1, kSurveySelect)->checkState(), Qt::Unchecked);
        QCOMPARE(f.Grid().item(2, kSurveySelect)->checkState(), Qt::Checked);
        QCOMPARE(f.wizard->SurveyPanel()->MarkedMac(), ApMac(1));
        ClickSurveyCell(f.Grid(), 2, kSurveySsid);
        // Other cells do nothing.
        QCOMPARE(f.wizard->SurveyPanel()->MarkedMac(), ApMac(1));
        ClickSurveyCell(f.Grid(), 2, kSurveySelect);
        QVERIFY(!f.wizard->NextButton()->isEnabled());
        QVERIFY(f.wizard->SurveyPanel()->MarkedMac().empty());
        QCOMPARE(marked.size(), 3);
    }

    void headerClicksShareOneDirection() {
        WizardFixture f;
        f.Open();
        f.Answer(kThree);
        ClickSurveyCell(f.Grid(), 0, kSurveySelect);
        ClickSurveyHeader(f.Grid(), kSurveyChannel);
        QCOMPARE(Column(f.Grid(), kSurveyChannel), (QStringList{"6", "36", "149"}));
        // A refill drops the mark.
        QVERIFY(!f.wizard->NextButton()->isEnabled());
        ClickSurveyHeader(f.Grid(), kSurveyChannel);
        QCOMPARE(Column(f.Grid(), kSurveyChannel), (QStringList{"149", "36", "6"}));
        ClickSurveyHeader(f.Grid(), kSurveyMac);
        QCOMPARE(Column(f.Grid(), kSurveyMac),
                 (QStringList{"02:aa:00:00:00:01", "02:aa:00:00:00:02", "02:aa:00:00:00:03"}));
        ClickSurveyHeader(f.Grid(), kSurveySelect);
        QCOMPARE(Column(f.Grid(), kSurveyMac).first(), QStringLiteral("02:aa:00:00:00:01"));
    }

    void rescanEmptiesTheListAndAsksAgain() {
        WizardFixture f;
        f.Open();
        f.Answer(kThree);
        ClickSurveyCell(f.Grid(), 0, kSurveySelect);
        f.ui.link.SetScanComplete(false);
        f.wizard->SurveyPanel()->RescanButton()->click();
        QCOMPARE(f.Grid().rowCount(), 0);
        QVERIFY(!f.wizard->NextButton()->isEnabled());
        QVERIFY(f.wizard->SurveyPanel()->Scanning());
        QCOMPARE(f.Sent(MSG_SCAN_AP).size(), std::size_t{2});
        // The table is emptied first.
        QCOMPARE(ScanRows(*f.ui.store), std::size_t{0});
        // Nothing answers: after 30 ticks the list is what the table holds.
        for (int i = 0; i < 30; ++i) f.wizard->SurveyPanel()->TickNow();
        QVERIFY(!f.wizard->SurveyPanel()->Scanning());
        QCOMPARE(f.Grid().rowCount(), 0);
        QVERIFY(!f.wizard->NextButton()->isEnabled());
    }

    void securityStepPresetsFromTheChosenAccessPoint() {
        WizardFixture f;
        f.Open();
        f.Answer(kThree);
        f.Choose(2);
        CBridgeSecureDlg& step = *f.wizard->SecurityPanel();
        QCOMPARE(f.wizard->CurrentStep(), int{CBridgeConfigDlg::kStepSecurity});
        QVERIFY(f.wizard->BackButton()->isVisible());
        QCOMPARE(step.SsidField()->text(), QStringLiteral("mid"));
        QCOMPARE(step.ChannelBox()->currentData().toInt(), 149);
        QCOMPARE(step.ChannelBox()->itemText(0), QStringLiteral("Auto"));
        QCOMPARE(step.SecurityBox()->currentData().toInt(), int{kBridgeWpa2Psk});
        QVERIFY(step.CipherButton(kCipherTkipAes)->isChecked());
        QCOMPARE(step.KeyTimeField()->text(), QStringLiteral("0"));
        QCOMPARE(step.KeyTimeField()->maxLength(), 5);

        step.SecurityBox()->setCurrentIndex(step.SecurityBox()->findData(kBridgeWpaPsk));
        QVERIFY(!step.CipherButton(kCipherTkipAes)->isEnabled());
        QVERIFY(step.CipherButton(kCipherAes)->isChecked());
        step.SecurityBox()->setCurrentIndex(step.SecurityBox()->findData(kBridgeNone));
        QVERIFY(!step.KeyField()->isVisible());
        QVERIFY(!step.CipherButton(kCipherAes)->isVisible());
        QVERIFY(!step.WepPanel()->isVisible());
        step.SecurityBox()->setCurrentIndex(step.SecurityBox()->findData(kBridgeWep));
        QVERIFY(step.WepPanel()->isVisible());
        QVERIFY(!step.KeyField()->isVisible());

        // Back keeps the list and its mark; a WEP access point presets the WEP panel.
        f.wizard->BackButton()->click();
        QCOMPARE(f.wizard->SurveyPanel()->MarkedMac(), ApMac(2));
        QVERIFY(f.wizard->NextButton()->isEnabled());
    }

    void stepChecksKeepTheWizardOnItsStep() {
        WizardFixture f;
        f.Open();
        f.Answer(kThree);
        f.Choose(2);
        CBridgeSecureDlg& step = *f.wizard->SecurityPanel();
        step.KeyField()->setText(QStringLiteral("short"));
        f.wizard->NextButton()->click();
        QCOMPARE(f.wizard->CurrentStep(), int{CBridgeConfigDlg::kStepSecurity});
        QCOMPARE(f.ui.prompter.Texts(), std::vector<std::string>{kMsgPskKey});
        QCOMPARE(step.KeyField()->text(), QStringLiteral("short"));

        step.KeyField()->setText(QStringLiteral("long enough"));
        f.wizard->NextButton()->click();
        CBridgeIPSetDlg& address = *f.wizard->AddressPanel();
        QCOMPARE(f.wizard->CurrentStep(), int{CBridgeConfigDlg::kStepAddress});
        QCOMPARE(address.Field(kBridgeFieldIp)->text(), QStringLiteral("198.18.0.10"));
        QCOMPARE(address.Field(kBridgeFieldMask)->text(), QStringLiteral("255.255.255.0"));

        // Edits on step 2 do not survive a way back and forth.
        address.Field(kBridgeFieldIp)->setText(QStringLiteral("198.18.0.99"));
        f.wizard->BackButton()->click();
        f.wizard->NextButton()->click();
        QCOMPARE(address.Field(kBridgeFieldIp)->text(), QStringLiteral("198.18.0.10"));

        // Another stored device's address is refused; the secondary DNS has no rule.
        f.ui.store->SaveDeviceReport(test::TestDevice(2, "198.18.0.11", "other"));
        address.Field(kBridgeFieldIp)->setText(QStringLiteral("198.18.0.11"));
        f.wizard->NextButton()->click();
        QCOMPARE(f.wizard->CurrentStep(), int{CBridgeConfigDlg::kStepAddress});
        QCOMPARE(f.ui.prompter.Texts().back(), std::string(kMsgIpInUse));
        address.Field(kBridgeFieldIp)->setText(QStringLiteral("198.18.0.12"));
        address.Field(kBridgeFieldDns2)->setText(QStringLiteral("255.255.255.255"));
        f.wizard->NextButton()->click();
        QCOMPARE(f.wizard->CurrentStep(), int{CBridgeConfigDlg::kStepFinish});
        QCOMPARE(f.wizard->NextButton()->text(), QStringLiteral("Save"));
        QVERIFY(!f.wizard->FinishPanel()->Picture()->pixmap().isNull());
        f.wizard->BackButton()->click();
        QCOMPARE(f.wizard->NextButton()->text(), QStringLiteral("Next"));
    }

    void saveHandsTheSenderTheStepsBytesAndClosesAtOnce() {
        WizardFixture f;
        f.Open();
        const std::string ssid = "\xe6\xa1\xa5\xe6\x8e\xa5";
        f.Answer({Ap(1, -50, 149, 6, ssid), Ap(2, -70, 6, 0, "other")});
        f.Choose(1);
        f.wizard->SecurityPanel()->KeyField()->setText(QStringLiteral("correct horse"));
        f.wizard->SecurityPanel()->KeyTimeField()->setText(QStringLiteral("3600"));
        const BridgeSecurityInput chosen = f.wizard->SecurityPanel()->Input();
        f.wizard->NextButton()->click();
        const BridgeIpInput addresses = f.wizard->AddressPanel()->Input();
        f.wizard->NextButton()->click();
        QSignalSpy accepted(f.wizard.get(), &QDialog::accepted);
        f.wizard->NextButton()->click();
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(ScanRows(*f.ui.store), std::size_t{0});

        QVERIFY(f.ui.link.WaitForSent(2, kDeadline));
        const auto sent = f.Sent(MSG_SET_BRIDGE);
        QCOMPARE(sent.size(), std::size_t{1});
        QCOMPARE(sent[0].ip, std::string("198.18.0.10"));
        QCOMPARE(sent[0].mac, test::TestMac(1));
        QVERIFY(sent[0].retransmit);
        config_otherwl_basic ap = Ap(1, -50, 149, 6, ssid);
        const auto block = CheckSecurityStep(f.record, ap, chosen).block;
        const auto ip = CheckIpStep(f.record, addresses, {}).block;
        QCOMPARE(sent[0].payload, BridgePayload(block, ip));
        QCOMPARE(sent[0].payload.size(), std::size_t{326});
        // UTF-8 bytes of the SSID.
        QCOMPARE(int{sent[0].payload[40]}, 6);
    }

    void closeButtonEmptiesTheTableAndSendsNothing() {
        WizardFixture f;
        f.Open();
        f.Answer(kThree);
        f.Choose(2);
        f.wizard->SecurityPanel()->KeyField()->setText(QStringLiteral("long enough"));
        f.wizard->NextButton()->click();
        QSignalSpy rejected(f.wizard.get(), &QDialog::rejected);
        f.wizard->CloseButton()->click();
        QCOMPARE(rejected.size(), 1);
        QCOMPARE(ScanRows(*f.ui.store), std::size_t{0});
        QVERIFY(f.Sent(MSG_SET_BRIDGE).empty());
    }

    void closingDuringTheSurveyEndsIt() {
        WizardFixture f;
        f.Open();
        f.wizard->CloseButton()->click();
        QVERIFY(!f.wizard->SurveyPanel()->Scanning());
        SaveScan(*f.ui.store, kThree);
        f.ui.link.SetScanComplete(true);
        f.wizard->SurveyPanel()->TickNow();
        // A closed wizard fills nothing.
        QCOMPARE(f.Grid().rowCount(), 0);
    }

    void operateOpensTheWizardUnlessTheModeSwitchForbids_data() {
        QTest::addColumn<int>("switch_position");
        QTest::addColumn<bool>("opens");
        QTest::newRow("off") << 0 << true;
        QTest::newRow("ap") << 1 << false;
        QTest::newRow("station") << 2 << true;
        QTest::newRow("unknown") << 7 << false;
    }
    void operateOpensTheWizardUnlessTheModeSwitchForbids() {
        QFETCH(int, switch_position);
        QFETCH(bool, opens);
        test::TestUiContext ui;
        ap_info_stu record = Radio();
        record.report.mode_btn_status = static_cast<std::uint8_t>(switch_position);
        ui.store->SaveDeviceReport(record);
        CBridgeDlg page(ui.context, nullptr);
        int shown = 0;
        bool refresh_off_while_open = false;
        QSignalSpy busy(&page, &CDeviceListPage::busyChanged);
        page.SetWizardRunner([&](CBridgeConfigDlg& wizard) {
            ++shown;
            refresh_off_while_open = busy.size() == 1 && busy[0][0].toBool();
            wizard.reject();
        });
        page.resize(1600, 900);
        page.show();
        page.RefreshPage();
        const int row = test::RowOfMac(*page.Grid(), kMacColumn, test::TestMac(1));
        QVERIFY(!page.Grid()->item(row, kOperate)->data(Qt::DecorationRole).isNull());
        test::ClickCell(*page.Grid(), row, kOperate);

        QCOMPARE(shown, opens ? 1 : 0);
        QCOMPARE(page.ChosenDevice().mac, test::TestMac(1));
        QCOMPARE(page.ChosenDevice().ip, std::string("198.18.0.10"));
        if (opens) {
            QVERIFY(refresh_off_while_open);
            QVERIFY(ui.prompter.Texts().empty());
        } else {
            const auto records = ui.prompter.Records();
            QCOMPARE(records.size(), std::size_t{1});
            QCOMPARE(records[0].text, std::string(kMsgModeSwitch));
            QCOMPARE(records[0].title, std::string("CPEManagement"));
            QVERIFY(records[0].icon == MsgIcon::Warning);
            QVERIFY(ui.link.SentOfType(MSG_SCAN_AP).empty());
        }
        QCOMPARE(busy.size(), 2);
        QCOMPARE(busy[1][0].toBool(), false);
        QVERIFY(page.RefreshTimer().isActive());
        QVERIFY(page.RefreshTimer().isSingleShot());
        QCOMPARE(page.RefreshTimer().interval(), 2000);
    }

    void aRowGoneFromTheStoreOpensAnEmptyWizard() {
        test::TestUiContext ui;
        ui.store->SaveDeviceReport(Radio());
        CBridgeDlg page(ui.context, nullptr);
        int shown = 0;
        page.SetWizardRunner([&](CBridgeConfigDlg& wizard) {
            ++shown;
            wizard.reject();
        });
        page.RefreshPage();
        ui.store->DeleteDevice(test::TestMac(1));
        page.OnOperateClicked(0);
        QCOMPARE(shown, 1);
        QVERIFY(page.LastWizard());
    }
};

QTEST_MAIN(BridgeWizardTest)
#include "bridge_wizard_test.moc"
