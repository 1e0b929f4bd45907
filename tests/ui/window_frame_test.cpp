// The frame the configuration windows share: each has the skin's close button in its
// title strip, and pressing it closes the window as cancelled, also when the window
// has work under way that its Cancel may not interrupt.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "config/batch_ip_dlg.h"
#include "config/management_dlg.h"
#include "operations/batch_switch_dlg.h"
#include "operations/bridge_config_dlg.h"
#include "operations/upgrade_config_dlg.h"
#include "protocol/packet.h"
#include "support/device_rows.h"
#include "support/ui_context.h"
#include "ui/image_button.h"
#include "ui/skin.h"

using namespace fk;

namespace {

constexpr auto kDeadline = std::chrono::seconds(5);

enum Window {
    kManagement,
    kBridgeWizard,
    kUpgrade,
    kBatchIp,
    kBatchIpInProgress,
    kBatchBridgeSwitch,
    kBatchSlotraSwitch,
};

// An upgrade window that is never started needs no file server.
class NoServer final : public IUpgradeServer {
  public:
    FileServerStart Start(const std::string&, std::stop_token) override { return {}; }
    void Stop() override {}
};

struct FrameFixture {
    test::TestUiContext ui;
    CCommandSender sender{ui.link};
    CCommandSender survey_sender{ui.link};
    ap_info_stu first = test::TestDevice(1, "198.18.0.10", "one");
    ap_info_stu second = test::TestDevice(2, "198.18.0.11", "two");
    std::vector<ap_select_stu> batch{SelectionOf(first), SelectionOf(second)};

    FrameFixture() {
        ui.store->SaveDeviceReport(first);
        ui.store->SaveDeviceReport(second);
    }
    ~FrameFixture() {
        sender.Stop();
        survey_sender.Stop();
    }

    std::unique_ptr<CSkinFrameDlg> Open(Window which) {
        switch (which) {
            case kManagement:
                return std::make_unique<CManagementConfigDlg>(ui.context, first, first.IpText(),
                                                              first.MacText(), first.ap_type,
                                                              sender, nullptr);
            case kBridgeWizard:
                return std::make_unique<CBridgeConfigDlg>(ui.context, first.IpText(),
                                                          first.MacText(), first, survey_sender,
                                                          sender, nullptr);
            case kUpgrade:
                return std::make_unique<CUpgradeConfigDlg>(ui.context, sender, batch,
                                                           std::make_unique<NoServer>(), nullptr);
            case kBatchIp:
            case kBatchIpInProgress:
                return std::make_unique<CIpsetMutilDlg>(ui.context, batch, first, sender, nullptr);
            case kBatchBridgeSwitch:
                return std::make_unique<CBridgeSetMultiDlg>(1, nullptr);
            case kBatchSlotraSwitch:
                return std::make_unique<CSlotraenSetMultiDlg>(0, nullptr);
        }
        return nullptr;
    }
};

// Saves a valid range, so the window runs its progress with Cancel disabled.
void StartProgress(CIpsetMutilDlg& window) {
    window.BeginField()->setText("198.18.0.50");
    window.EndField()->setText("198.18.0.51");
    window.SaveButton()->click();
    QVERIFY(window.ProgressTimer().isActive());
    QVERIFY(!window.CancelButton()->isEnabled());
}

QImage Pixels(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class WindowFrameTest : public QObject {
    Q_OBJECT
  private slots:
    void theCloseButtonClosesTheWindow_data() {
        QTest::addColumn<int>("which");
        QTest::newRow("management") << int{kManagement};
        QTest::newRow("bridge wizard, survey running") << int{kBridgeWizard};
        QTest::newRow("upgrade") << int{kUpgrade};
        QTest::newRow("batch IP") << int{kBatchIp};
        QTest::newRow("batch IP during its progress") << int{kBatchIpInProgress};
        QTest::newRow("batch transparent bridge") << int{kBatchBridgeSwitch};
        QTest::newRow("batch Slotra") << int{kBatchSlotraSwitch};
    }
    void theCloseButtonClosesTheWindow() {
        QFETCH(int, which);
        FrameFixture f;
        std::unique_ptr<CSkinFrameDlg> window = f.Open(static_cast<Window>(which));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        if (which == kBatchIpInProgress) StartProgress(dynamic_cast<CIpsetMutilDlg&>(*window));
        if (QTest::currentTestFailed()) return;

        CImageButton* close = window->CloseButton();
        QVERIFY(close->isVisible());
        QVERIFY(close->isEnabled());
        // The skin's picture, drawn at its own size at the right end of the title strip.
        const QPixmap skin = SkinPixmap(SkinImage::CloseConfig);
        QVERIFY(!skin.isNull());
        QCOMPARE(close->size(), skin.deviceIndependentSize().toSize());
        QCOMPARE(Pixels(close->grab()), Pixels(skin));
        QVERIFY(close->geometry().left() >= window->TitleLabel()->geometry().right());
        QVERIFY(close->geometry().top() <= window->TitleLabel()->geometry().bottom());

        QSignalSpy finished(window.get(), &QDialog::finished);
        QTest::mouseClick(close, Qt::LeftButton);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toInt(), int{QDialog::Rejected});
        QVERIFY(!window->isVisible());

        if (which == kBatchIpInProgress) {
            auto& batch_ip = dynamic_cast<CIpsetMutilDlg&>(*window);
            QVERIFY(!batch_ip.ProgressTimer().isActive());
            // The sender keeps what Save handed it: both devices get their address.
            QVERIFY(f.ui.link.WaitForSent(2, kDeadline));
            f.sender.WaitUntilIdle();
            QCOMPARE(f.ui.link.SentOfType(MSG_SET_IP).size(), std::size_t{2});
        } else {
            f.sender.WaitUntilIdle();
            QVERIFY(f.ui.link.SentOfType(MSG_SET_IP).empty());
        }
    }

    void theTitleStripNamesTheWindow_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("title");
        QTest::newRow("management") << int{kManagement} << "Device management";
        QTest::newRow("bridge wizard") << int{kBridgeWizard} << "Device bridge";
        QTest::newRow("upgrade") << int{kUpgrade} << "Device upgrade";
        QTest::newRow("batch IP") << int{kBatchIp} << "Set IP";
        QTest::newRow("batch transparent bridge") << int{kBatchBridgeSwitch} << "Set Bridge";
        QTest::newRow("batch Slotra") << int{kBatchSlotraSwitch} << "Slotra";
    }
    void theTitleStripNamesTheWindow() {
        QFETCH(int, which);
        QFETCH(QString, title);
        FrameFixture f;
        std::unique_ptr<CSkinFrameDlg> window = f.Open(static_cast<Window>(which));
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->TitleLabel()->text(), title);
        QVERIFY(window->TitleLabel()->font().bold());
        QVERIFY(window->isModal());
    }
};

QTEST_MAIN(WindowFrameTest)
#include "window_frame_test.moc"
