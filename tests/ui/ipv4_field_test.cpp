// Every address field of every window holds only what can still become an exact
// address: keys that would spell another one (a leading zero, an octet above 255, a
// fifth part) are not taken, so what the field shows is what the rule reads.
#include <QLineEdit>
#include <QtTest>
#include <functional>

#include "config/batch_ip_dlg.h"
#include "config/ip_set_dlg.h"
#include "config/ip_settings.h"
#include "config/wpa_dlg.h"
#include "operations/bridge_steps_dlg.h"
#include "operations/bridge_wizard.h"
#include "operations/command_sender.h"
#include "protocol/address_text.h"
#include "support/device_rows.h"
#include "support/ui_context.h"

using namespace fk;

class Ipv4FieldTest : public QObject {
    Q_OBJECT
  private slots:
    void everyAddressFieldTakesOnlyAnExactAddress();
};

void Ipv4FieldTest::everyAddressFieldTakesOnlyAnExactAddress() {
    test::TestUiContext ui;
    const ap_info_stu record = test::TestDevice(1, "198.18.0.20", "tower");
    CCommandSender sender(ui.link);
    CIPSetDlg ip_tab(record, nullptr);
    const ap_info_stu second = test::TestDevice(2, "198.18.0.21", "mast");
    CIpsetMutilDlg batch(ui.context, {SelectionOf(record), SelectionOf(second)}, record, sender,
                         nullptr);
    CWpaDlg radius(SecurityPaneInput{}, nullptr);
    CBridgeIPSetDlg bridge(nullptr);
    const struct {
        const char* name;
        QLineEdit* field;
    } fields[] = {
        {"IP tab, IP", ip_tab.Field(kIpFieldIp)},
        {"IP tab, mask", ip_tab.Field(kIpFieldMask)},
        {"IP tab, DNS 2", ip_tab.Field(kIpFieldDns2)},
        {"batch, end", batch.EndField()},
        {"batch, gateway", batch.GatewayField()},
        {"RADIUS server", radius.ServerField()},
        {"bridge, IP", bridge.Field(kBridgeFieldIp)},
        {"bridge, DNS 2", bridge.Field(kBridgeFieldDns2)},
    };
    const struct {
        const char* typed;
        const char* held;
        bool exact;
    } typings[] = {
        {"198.18.0.22", "198.18.0.22", true},
        {"198.18.0.022", "198.18.0.0", true},
        {"000.0.0.0", "0.0.0.0", true},
        {"10.0.0.300", "10.0.0.30", true},
        {"999.1.1.1", "99.1.1.1", true},
        {"1.2.3.4.5", "1.2.3.45", true},
        {"8.8", "8.8", false},
        {"a1.b2.c3.d4", "1.2.3.4", true},
        {"255.255.255.255", "255.255.255.255", true},
    };
    for (const auto& f : fields) {
        QVERIFY2(f.field != nullptr, f.name);
        for (const auto& t : typings) {
            f.field->clear();
            QTest::keyClicks(f.field, QString::fromLatin1(t.typed));
            const std::string held = f.field->text().toStdString();
            QVERIFY2(
                held == t.held,
                qPrintable(
                    QString("%1 <- %2: %3").arg(f.name, t.typed, QString::fromStdString(held))));
            Ipv4Octets octets;
            QCOMPARE(ParseIpv4(held, octets), t.exact);
            QCOMPARE(f.field->hasAcceptableInput(), t.exact);
        }
    }
}

QTEST_MAIN(Ipv4FieldTest)
#include "ipv4_field_test.moc"
