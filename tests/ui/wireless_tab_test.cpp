#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "config/ip_set_dlg.h"
#include "config/management_dlg.h"
#include "config/wep_dlg.h"
#include "config/wireless_set_dlg.h"
#include "config/wpa_dlg.h"
#include "protocol/packet.h"
#include "support/device_rows.h"
#include "support/ui_context.h"
#include "ui/wait_dlg.h"

using namespace fk;

namespace {

ap_info_stu Radio(int type = 3, int work_mode = WORK_MODE_AP) {
    ap_info_stu r = test::TestDevice(1, "198.18.0.10", "mast", type);
    r.report.work_mode = static_cast<std::uint8_t>(work_mode);
    r.report.country_code = 0;  // China: 2.4 GHz channels 1 to 13
    r.report.network_mode = 4;
    r.report.bandwidth = 1;
    r.report.channel = 6;
    r.report.secure_mode = kSecureWpa2Psk;
    r.report.wpapsk_auth_type = kCipherTkipAes;
    r.report.wpapsk_key_value.Assign("stored-pass-phrase");
    r.report.wpapsk_key_time = 3600;
    return r;
}

QStringList Texts(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

void Pick(QComboBox* box, const QString& text) {
    const int at = box->findText(text);
    QVERIFY2(at >= 0, qPrintable(text + " is not offered: " + Texts(box).join(", ")));
    box->setCurrentIndex(at);
}

}  // namespace

class WirelessTabTest : public QObject {
    Q_OBJECT
  private slots:
    void eachSecurityModeShowsOnlyItsInputs();
    void choicesRebuildTheListsThatDependOnThem();
    void aStationMayChangeOnlyPowerAndBandwidth();
    void aSaveSendsTheTabsBlockFirst();
    void aRefusalShowsTheTabAndFocusesTheField();
};

void WirelessTabTest::eachSecurityModeShowsOnlyItsInputs() {
    CWirelessSetDlg tab(Radio(), nullptr);
    tab.show();
    QVERIFY(tab.CipherButton(kCipherTkipAes)->isChecked());
    struct Case {
        const char* mode;
        bool psk, wep, radius;
    } cases[] = {{"None", false, false, false},
                 {"WEP", false, true, false},
                 {"WPA2-PSK", true, false, false},
                 {"WPA", false, false, true},
                 {"Mixed WPA/WPA2-PSK", true, false, false},
                 {"WPA-PSK", true, false, false}};
    for (const Case& c : cases) {
        Pick(tab.SecurityList(), c.mode);
        QCOMPARE(tab.PskFields()->isVisible(), c.psk);
        QCOMPARE(tab.PskFields()->isEnabled(), c.psk);
        QCOMPARE(tab.WepPanel()->isVisible(), c.wep);
        QCOMPARE(tab.WpaPanel()->isVisible(), c.radius);
    }
    // WPA-PSK shows TKIP&AES switched off, and what was pressed there moved to AES.
    QVERIFY(tab.CipherButton(kCipherTkipAes)->isVisible());
    QVERIFY(!tab.CipherButton(kCipherTkipAes)->isEnabled());
    QVERIFY(tab.CipherButton(kCipherAes)->isChecked());
    // Switching modes keeps what was typed in the others.
    tab.PskKeyField()->setText("typed-pass-phrase");
    Pick(tab.SecurityList(), "WEP");
    Pick(tab.SecurityList(), "WPA2-PSK");
    QCOMPARE(tab.PskKeyField()->text(), QStringLiteral("typed-pass-phrase"));
    QCOMPARE(tab.Input().security.psk_key, std::string("typed-pass-phrase"));
}

void WirelessTabTest::choicesRebuildTheListsThatDependOnThem() {
    CWirelessSetDlg tab(Radio(), nullptr);
    QCOMPARE(Texts(tab.ExtChannelList()), (QStringList{"2", "10"}));
    QVERIFY(tab.ExtChannelList()->isEnabled());
    QCOMPARE(tab.ChannelList()->currentData().toInt(), 6);
    QCOMPARE(tab.PowerRange()->text(), QStringLiteral("(1-27)"));
    Pick(tab.ChannelList(), "11");
    QCOMPARE(Texts(tab.ExtChannelList()), QStringList{"7"});
    // The United States stop at 11; 13 is gone, 11 is kept.
    Pick(tab.ChannelList(), "13");
    Pick(tab.CountryList(), "United States");
    QCOMPARE(tab.ChannelList()->count(), 12);
    QCOMPARE(tab.ChannelList()->currentText(), QStringLiteral("Auto"));
    QVERIFY(!tab.ExtChannelList()->isEnabled());
    QCOMPARE(tab.ExtChannelList()->count(), 0);
    Pick(tab.ChannelList(), "6");
    Pick(tab.NetModeList(), "11g");
    QCOMPARE(Texts(tab.BandwidthList()), QStringList{"20MHz"});
    QVERIFY(!tab.ExtChannelList()->isEnabled());
    Pick(tab.NetModeList(), "11b/g/n");
    QCOMPARE(Texts(tab.BandwidthList()), (QStringList{"Auto", "20MHz", "40MHz"}));
    QCOMPARE(tab.BandwidthList()->currentData().toInt(), int{kBandwidth20});
    Pick(tab.BandwidthList(), "40MHz");
    QCOMPARE(Texts(tab.ExtChannelList()), (QStringList{"2", "10"}));

    // A stored channel the lists lack is shown as it is, and selected.
    ap_info_stu dfs = Radio(268);
    dfs.report.rf_type = dfs.report.ssid_rf_type = 1;
    dfs.report.network_mode = kNetMode11ac;
    dfs.report.bandwidth = kBandwidth80;
    dfs.report.channel = 100;
    CWirelessSetDlg five(dfs, nullptr);
    QCOMPARE(five.ChannelList()->currentText(), QStringLiteral("100"));
    QCOMPARE(five.BandwidthList()->currentText(), QStringLiteral("80MHz"));
    QCOMPARE(Texts(five.NetModeList()), (QStringList{"11a", "11n", "11a/n", "11ac"}));
    QVERIFY(!five.ExtChannelList()->isEnabled());
    // The 5 GHz tab says why such a channel goes once another is picked.
    QVERIFY(!five.RadarChannelRule()->isHidden());
    QCOMPARE(five.RadarChannelRule()->text().toStdString(), Translate(kRadarChannelRule));
    QVERIFY(tab.RadarChannelRule()->isHidden());
}

void WirelessTabTest::aStationMayChangeOnlyPowerAndBandwidth() {
    for (int work_mode : {WORK_MODE_STATION, WORK_MODE_UNIVERSAL_REPEATER, WORK_MODE_WISP}) {
        CWirelessSetDlg tab(Radio(3, work_mode), nullptr);
        const bool radio = work_mode == WORK_MODE_WISP;
        QVERIFY(tab.PowerField()->isEnabled());
        QVERIFY(tab.BandwidthList()->isEnabled());
        QCOMPARE(tab.SsidField()->isEnabled(), radio);
        QCOMPARE(tab.HideBox()->isEnabled(), radio);
        QCOMPARE(tab.NetModeList()->isEnabled(), radio);
        QCOMPARE(tab.SecurityList()->isEnabled(), radio);
        QCOMPARE(tab.PskKeyField()->isEnabled(), radio);
        QCOMPARE(tab.CipherButton(kCipherAes)->isEnabled(), radio);
        QCOMPARE(tab.WepPanel()->KeyField(0)->isEnabled(), radio);
        QCOMPARE(tab.WpaPanel()->ServerField()->isEnabled(), radio);
        QVERIFY(!tab.CountryList()->isEnabled());
        QVERIFY(!tab.ChannelList()->isEnabled());
        QVERIFY(!tab.ExtChannelList()->isEnabled());
        // A bandwidth choice does not touch the locked channel list.
        const QStringList channels = Texts(tab.ChannelList());
        Pick(tab.BandwidthList(), "20MHz");
        QCOMPARE(Texts(tab.ChannelList()), channels);
    }
}

void WirelessTabTest::aSaveSendsTheTabsBlockFirst() {
    test::TestUiContext ui;
    const ap_info_stu record = Radio();
    CCommandSender sender(ui.link);
    CManagementConfigDlg window(ui.context, record, "198.18.0.10", test::TestMac(1), 3, sender,
                                nullptr);
    window.SetWaitRunner([](CWaitDlg&) {});
    QCOMPARE(window.CurrentTab(), ManagementTab::Wireless);
    CWirelessSetDlg& tab = *window.WirelessPane();
    tab.SsidField()->setText("north-net");
    Pick(tab.ChannelList(), "11");
    Pick(tab.SecurityList(), "WEP");
    tab.WepPanel()->KeyField(0)->setText("  abcde");
    window.IpPane()->Field(kIpFieldName)->setText("north");
    window.SaveButton()->click();
    sender.WaitUntilIdle();
    QVERIFY(ui.prompter.Records().empty());
    const auto sent = ui.link.Sent();
    QCOMPARE(sent.size(), size_t{2});
    QCOMPARE(sent[0].type, std::uint16_t{MSG_SET_NAME});
    QCOMPARE(sent[1].type, std::uint16_t{MSG_SET_WIRELESS});
    const std::vector<std::uint8_t>& block = sent[1].payload;
    QCOMPARE(block.size(), kWirelessBlockSize);
    QCOMPARE(std::string(block.begin() + 31, block.begin() + 31 + block[63]),
             std::string("north-net"));
    QCOMPARE(int{block[6]}, 11);
    QCOMPARE(int{block[7]}, int{kExpandBelow});
    QCOMPARE(int{block[64]}, int{kSecureWep});
    QCOMPARE(std::string(block.begin() + 138, block.begin() + 138 + block[164]),
             std::string("abcde"));
    // The PSK bytes are the record's.
    QCOMPARE(std::string(block.begin() + 66, block.begin() + 66 + block[130]),
             std::string("stored-pass-phrase"));
}

void WirelessTabTest::aRefusalShowsTheTabAndFocusesTheField() {
    test::TestUiContext ui;
    CCommandSender sender(ui.link);
    CManagementConfigDlg window(ui.context, Radio(), "198.18.0.10", test::TestMac(1), 3, sender,
                                nullptr);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    CWirelessSetDlg& tab = *window.WirelessPane();
    tab.PskKeyTimeField()->setText("59");
    window.IpPane()->Field(kIpFieldName)->setText("");
    window.ShowTab(ManagementTab::Ip);
    window.SaveButton()->click();
    QCOMPARE(ui.prompter.Records().size(), size_t{1});
    QVERIFY(ui.prompter.Saw("The key update interval range: 60~99999 or 0!"));
    QCOMPARE(window.CurrentTab(), ManagementTab::Wireless);
    QTRY_VERIFY(tab.PskKeyTimeField()->hasFocus());
    QVERIFY(ui.link.Sent().empty());
    // A power field holds three digits at most: no number beyond them is ever read.
    tab.PowerField()->setText("1234");
    QCOMPARE(tab.PowerField()->text(), QStringLiteral("123"));
}

QTEST_MAIN(WirelessTabTest)
#include "wireless_tab_test.moc"
