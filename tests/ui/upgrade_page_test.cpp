#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <mutex>

#include "app/language.h"
#include "operations/upgrade_config_dlg.h"
#include "operations/upgrade_page.h"
#include "protocol/packet.h"
#include "support/device_rows.h"
#include "support/modal_box.h"
#include "support/ui_context.h"
#include "ui/image_button.h"

using namespace fk;

namespace {

// Start runs on the window's own thread; the test reads what it kept on the UI thread.
struct ServerLog {
    std::atomic<int> starts = 0;
    std::atomic<int> stops = 0;
    std::atomic<bool> gave_up = false;  // its start was told to stop before it answered
    std::string served;                 // read once the window has the answer

    // A start that waits for the test to let it answer, as staging a large image and
    // waiting for the server to bind do.
    std::mutex mutex;
    std::condition_variable_any opened;
    bool gated = false;
    void Open() {
        std::lock_guard lock(mutex);
        gated = false;
        opened.notify_all();
    }
};

class FakeServer final : public IUpgradeServer {
  public:
    FakeServer(ServerLog& log, bool serves) : log_(log), serves_(serves) {}
    FileServerStart Start(const std::string& image_path, std::stop_token stop) override {
        ++log_.starts;
        log_.served = image_path;
        std::unique_lock lock(log_.mutex);
        if (!log_.opened.wait(lock, stop, [this] { return !log_.gated; })) {
            log_.gave_up = true;
            return {FileServerStatus::kStopped, {}};
        }
        if (serves_) return {FileServerStatus::kServing, {}};
        return {FileServerStatus::kPortInUse, "port 69 is in use"};
    }
    void Stop() override { ++log_.stops; }

  private:
    ServerLog& log_;
    bool serves_;
};

// Devices 1 and 3 of one model, 2 of another; the list shows 3, 2, 1.
struct Fixture {
    test::TestUiContext ui;
    std::unique_ptr<CUpgradeDlg> page;
    QTemporaryDir files;
    ServerLog server;
    bool serves = true;
    std::string path;
    int windows = 0;
    std::function<void(CUpgradeConfigDlg&)> in_window;

    explicit Fixture(const std::string& file_name = "fw-2.0.bin") {
        ui.store->SaveDeviceReport(test::TestDevice(1, "198.18.0.10", "one", 3));
        ui.store->SaveDeviceReport(test::TestDevice(2, "198.18.0.11", "two", 5));
        ui.store->SaveDeviceReport(test::TestDevice(3, "198.18.0.12", "three", 3));
        ui.prompter.AnswerConfirmations(true);
        path = files.path().toStdString() + "/" + file_name;
        std::ofstream(path, std::ios::binary) << std::string(1000, 'f');
        page = std::make_unique<CUpgradeDlg>(ui.context, nullptr);
        page->SetServerFactory([this] { return std::make_unique<FakeServer>(server, serves); });
        page->SetWindowRunner([this](CUpgradeConfigDlg& window) {
            ++windows;
            window.SetFileChooser([this](QWidget*) { return QString::fromStdString(path); });
            if (in_window) in_window(window);
        });
        page->resize(1600, 900);
        page->show();
        page->RefreshPage();
    }
    int Row(int n) const {
        return test::RowOfMac(*page->Grid(), ColumnIndex(PAGE_UPGRADE, ListColumn::Mac),
                              test::TestMac(n));
    }
    void TickAll() {
        for (int n = 1; n <= 3; ++n) page->Grid()->SetTicked(Row(n), true);
    }
    std::string StatusCell(int n) const {
        return page->Grid()->CellText(Row(n), ColumnIndex(PAGE_UPGRADE, ListColumn::Status));
    }
};

}  // namespace

class UpgradePageTest : public QObject {
    Q_OBJECT
  private slots:
    void elevenTicksAreRefused() {
        test::TestUiContext ui;
        for (int i = 1; i <= 11; ++i)
            ui.store->SaveDeviceReport(
                test::TestDevice(i, "198.18.0." + std::to_string(10 + i), "d"));
        CUpgradeDlg page(ui.context, nullptr);
        int windows = 0;
        page.SetWindowRunner([&](CUpgradeConfigDlg&) { ++windows; });
        page.RefreshPage();
        for (int row = 0; row < page.Grid()->rowCount(); ++row) page.Grid()->SetTicked(row, true);
        page.ActionButton()->click();
        QCOMPARE(windows, 0);
        QCOMPARE(ui.prompter.Records().back().text, Translate("Maximum selection of 10 devices!"));
        page.Grid()->SetTicked(0, false);
        page.ActionButton()->click();
        QCOMPARE(windows, 1);
    }

    // Only the chosen model is told, every ticked row is mirrored, closing the window
    // ends the server, and the page searches and re-reads its list afterwards.
    void twoModelsOnlyTheChosenOneIsUpgraded() {
        Fixture f;
        f.TickAll();
        f.in_window = [&](CUpgradeConfigDlg& w) {
            QCOMPARE(w.TypeBox()->count(), 2);
            QCOMPARE(w.TypeBox()->itemData(0).toInt(), 3);
            QCOMPARE(w.TypeBox()->itemData(1).toInt(), 5);
            QVERIFY(w.Progress()->isHidden());
            w.ScanButton()->click();
            QCOMPARE(w.FileEdit()->text().toStdString(), f.path);
            w.UpgradeButton()->click();
            QTRY_VERIFY(!w.Preparing());
            QCOMPARE(f.server.starts, 1);
            QCOMPARE(f.server.served, f.path);
            QVERIFY(!w.ScanButton()->isEnabled());
            QCOMPARE(w.ProgressLabel()->text(),
                     QString::fromStdString(Translate("Upgrade file transfer progress")));
            f.ui.store->SetStatus(test::TestMac(2), STATUS_RESTARTING);
            for (int i = 0; i < 3; ++i) w.Driver().TickNow();
            w.Driver().TickNow();
            QCOMPARE(f.StatusCell(2), StatusName(STATUS_RESTARTING));
            w.CloseButton()->click();
            QCOMPARE(w.result(), int(QDialog::Rejected));
        };
        const int searches = f.ui.link.Searches();
        f.page->ActionButton()->click();
        QCOMPARE(f.windows, 1);
        f.page->JoinSender();
        std::vector<std::string> told;
        for (const auto& c : f.ui.link.SentOfType(MSG_UPGRADE)) {
            told.push_back(c.mac);
            QCOMPARE(c.payload.size(), size_t{268});
        }
        QCOMPARE(told, (std::vector<std::string>{test::TestMac(3), test::TestMac(1)}));
        QVERIFY(f.ui.link.SentOfType(MSG_UPGRADE_STATUS).empty());
        QVERIFY(f.server.stops >= 1);
        QCOMPARE(f.ui.link.Searches(), searches + 1);
    }

    // The warning box runs its own event loop, as a real one does, for longer than the
    // flow waits for the server before it tells the radios.
    void aServerThatCannotStartSendsNothing() {
        using namespace std::chrono_literals;
        Fixture f;
        f.serves = false;
        f.TickAll();
        f.ui.prompter.WhileOpen(
            test::EventLoopFor(std::chrono::seconds(CUpgradeFlow::kServerWaitSeconds) + 1500ms));
        f.in_window = [&](CUpgradeConfigDlg& w) {
            w.ScanButton()->click();
            w.UpgradeButton()->click();
            QTRY_VERIFY(!w.Driver().Running());
            QCOMPARE(w.result(), int(QDialog::Rejected));
            QVERIFY(!w.Preparing());
        };
        f.page->ActionButton()->click();
        f.page->JoinSender();
        QVERIFY(f.ui.link.SentOfType(MSG_UPGRADE).empty());
        QVERIFY(f.ui.link.SentOfType(MSG_UPGRADE_STATUS).empty());
        QCOMPARE(f.server.starts, 1);
        const auto records = f.ui.prompter.Records();
        QVERIFY(records.back().text.find(Translate("The file server could not start!")) == 0);
        QVERIFY(records.back().text.find("port 69 is in use") != std::string::npos);
    }

    // Scan, then Upgrade: true once the window has asked the file server to start.
    static bool PressUpgradeAndWaitForTheServerStart(CUpgradeConfigDlg& w, Fixture& f) {
        w.ScanButton()->click();
        w.UpgradeButton()->click();
        return QTest::qWaitFor([&] { return f.server.starts.load() == 1; });
    }

    // The window keeps answering while the image is staged and the server starts; the
    // flow waits for the server however many ticks pass, then goes on where it stood.
    void theWindowStaysLiveWhileTheServerStarts() {
        Fixture f;
        f.TickAll();
        f.server.gated = true;
        f.in_window = [&](CUpgradeConfigDlg& w) {
            QVERIFY(PressUpgradeAndWaitForTheServerStart(w, f));
            QVERIFY(w.Preparing());
            QCOMPARE(w.ProgressLabel()->text(),
                     QString::fromStdString(Translate("Preparing the upgrade file...")));
            QCOMPARE(w.Progress()->maximum(), 0);  // a busy bar: no end known yet
            for (int i = 0; i < 2 * CUpgradeFlow::kServerWaitSeconds; ++i) w.Driver().TickNow();
            f.page->JoinSender();
            QVERIFY(f.ui.link.SentOfType(MSG_UPGRADE).empty());

            f.server.Open();
            QTRY_VERIFY(!w.Preparing());
            QCOMPARE(w.ProgressLabel()->text(),
                     QString::fromStdString(Translate("Upgrade file transfer progress")));
            QCOMPARE(w.Progress()->maximum(), CUpgradeFlow::kTransferSeconds);
            for (int i = 0; i < CUpgradeFlow::kServerWaitSeconds; ++i) w.Driver().TickNow();
            f.page->JoinSender();
            QCOMPARE(f.ui.link.SentOfType(MSG_UPGRADE).size(), std::size_t{2});
            w.CloseButton()->click();
        };
        f.page->ActionButton()->click();
        QCOMPARE(f.windows, 1);
        QVERIFY(!f.server.gave_up);
    }

    // Close while the server is still starting: the start is told to give up, the
    // window closes, the server is ended and no radio hears of the image.
    void closeWhileTheServerStartsEndsTheUpgrade() {
        Fixture f;
        f.TickAll();
        f.server.gated = true;
        f.in_window = [&](CUpgradeConfigDlg& w) {
            QVERIFY(PressUpgradeAndWaitForTheServerStart(w, f));
            QVERIFY(w.CloseButton()->isEnabled());
            QSignalSpy rejected(&w, &QDialog::rejected);
            w.CloseButton()->click();
            QCOMPARE(rejected.count(), 1);
            QVERIFY(f.server.gave_up);
            QVERIFY(!w.Preparing());
            QVERIFY(!w.Driver().Running());
            QVERIFY(f.server.stops >= 1);
            // The abandoned start's late answer changes nothing.
            QCoreApplication::processEvents();
            QCOMPARE(f.ui.prompter.Records().size(), std::size_t{1});
        };
        f.page->ActionButton()->click();
        f.page->JoinSender();
        QVERIFY(f.ui.link.SentOfType(MSG_UPGRADE).empty());
        QCOMPARE(f.ui.prompter.Records().size(), std::size_t{1});  // the question only
    }

    void aRadioOfAnUnlistedModelIsRefused() {
        test::TestUiContext ui;
        ui.store->SaveDeviceReport(test::TestDevice(1, "198.18.0.10", "one", 3));
        ui.store->SaveDeviceReport(test::TestDevice(2, "198.18.0.11", "two", 99));
        CUpgradeDlg page(ui.context, nullptr);
        int windows = 0;
        page.SetWindowRunner([&](CUpgradeConfigDlg&) { ++windows; });
        page.RefreshPage();
        for (int row = 0; row < page.Grid()->rowCount(); ++row) page.Grid()->SetTicked(row, true);
        page.ActionButton()->click();
        QCOMPARE(windows, 0);
        QCOMPARE(ui.prompter.Records().back().text,
                 Translate("The model of a selected device is not known!"));
        QVERIFY(ui.link.SentOfType(MSG_UPGRADE).empty());
    }

    void aMixedCaseEndingIsRefusedBeforeTheQuestion() {
        Fixture f("fw.Bin");
        f.TickAll();
        f.in_window = [&](CUpgradeConfigDlg& w) {
            w.ScanButton()->click();
            w.UpgradeButton()->click();
            QVERIFY(w.Progress()->isHidden());
        };
        f.page->ActionButton()->click();
        const auto records = f.ui.prompter.Records();
        QCOMPARE(records.size(), size_t{1});
        QCOMPARE(records[0].text, Translate("Upgrade file is not .bin file!"));
        QCOMPARE(f.server.starts, 0);
    }
};

QTEST_MAIN(UpgradePageTest)
#include "upgrade_page_test.moc"
