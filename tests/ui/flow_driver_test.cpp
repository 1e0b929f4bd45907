#include <QSignalSpy>
#include <QtTest>
#include <chrono>

#include "operations/command_sender.h"
#include "protocol/packet.h"
#include "support/fake_store.h"
#include "support/modal_box.h"
#include "support/recording_link.h"
#include "ui/flow_driver.h"

using namespace fk;

namespace {

// Searches at the start, sends one reboot on its second tick, ends on its third.
class ScriptedFlow final : public IFlow {
  public:
    std::chrono::milliseconds Period() const override { return std::chrono::milliseconds(250); }
    FlowStep Start(FlowTime) override {
        FlowStep step;
        step.actions = {EngineAction::Search};
        step.writes = {{StoreWrite::Kind::ClearScanResults, ""}};
        return step;
    }
    FlowStep Tick(FlowTime) override {
        FlowStep step;
        if (++ticks == 2) step.commands.push_back({"198.18.0.20", "02:00:00:00:00:01", MSG_REBOOT});
        if (ticks == 3) step.outcome = FlowOutcome::Done;
        return step;
    }
    int ticks = 0;
};

}  // namespace

class FlowDriverTest : public QObject {
    Q_OBJECT
  private slots:
    void runsTheFlowOnItsPeriodUntilItIsDone();
    void stopEndsAtOnceAndKeepsWhatWasSent();
    void nothingIsCarriedOutWhileAStepsBoxIsOpen();
};

void FlowDriverTest::runsTheFlowOnItsPeriodUntilItIsDone() {
    test::RecordingLink link;
    test::FakeStore store;
    CCommandSender sender(link);
    CFlowDriver driver(link, store, sender);
    QSignalSpy steps(&driver, &CFlowDriver::stepped);
    QSignalSpy finished(&driver, &CFlowDriver::finished);
    driver.Run(std::make_unique<ScriptedFlow>());
    QVERIFY(driver.Running());
    QVERIFY(driver.Timer().isActive());
    QCOMPARE(driver.Timer().interval(), 250);
    QCOMPARE(link.Searches(), 1);
    QCOMPARE(store.Writes(), std::vector<std::string>{"clear-scan"});
    // The real timer, not the test, drives it to its end.
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    QCOMPARE(steps.count(), 4);
    QCOMPARE(finished.at(0).at(0).value<FlowOutcome>(), FlowOutcome::Done);
    QVERIFY(!driver.Running());
    QVERIFY(!driver.Timer().isActive());
    sender.WaitUntilIdle();
    QCOMPARE(link.SentOfType(MSG_REBOOT).size(), size_t{1});
}

void FlowDriverTest::stopEndsAtOnceAndKeepsWhatWasSent() {
    test::RecordingLink link;
    test::FakeStore store;
    CCommandSender sender(link);
    CFlowDriver driver(link, store, sender);
    QSignalSpy finished(&driver, &CFlowDriver::finished);
    driver.Run(std::make_unique<ScriptedFlow>());
    driver.TickNow();
    driver.TickNow();
    driver.Stop();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).value<FlowOutcome>(), FlowOutcome::Stopped);
    QVERIFY(!driver.Timer().isActive());
    driver.TickNow();  // a late timer event after the end does nothing
    QCOMPARE(finished.count(), 1);
    sender.WaitUntilIdle();
    QCOMPARE(link.SentOfType(MSG_REBOOT).size(), size_t{1});
}

// The owner opens a box while it shows a step; the flow would send its reboot half a
// second into the run, and the box stays a whole second.
void FlowDriverTest::nothingIsCarriedOutWhileAStepsBoxIsOpen() {
    using namespace std::chrono_literals;
    const struct {
        const char* what;
        int box_on_step;  // 0: the start step
        bool stop_after_box;
        std::size_t reboots;
    } cases[] = {
        {"box on the start, owner ends the flow", 0, true, 0},
        {"box on the first tick, flow goes on", 1, false, 1},
    };
    for (const auto& c : cases) {
        qInfo("%s", c.what);
        test::RecordingLink link;
        test::FakeStore store;
        CCommandSender sender(link);
        CFlowDriver driver(link, store, sender);
        QSignalSpy finished(&driver, &CFlowDriver::finished);
        int shown = 0;
        std::size_t sent_while_open = 0;
        connect(&driver, &CFlowDriver::stepped, [&](const FlowStep& step) {
            if (shown++ != c.box_on_step || step.Finished()) return;
            test::EventLoopFor(1000ms)();
            sender.WaitUntilIdle();
            sent_while_open = link.SentOfType(MSG_REBOOT).size();
            if (c.stop_after_box) driver.Stop();
        });
        driver.Run(std::make_unique<ScriptedFlow>());
        if (c.box_on_step > 0) QTRY_VERIFY_WITH_TIMEOUT(shown > c.box_on_step, 5000);
        QCOMPARE(sent_while_open, size_t{0});
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
        QTest::qWait(600);  // an ended flow stays ended
        QCOMPARE(finished.count(), 1);
        sender.WaitUntilIdle();
        QCOMPARE(link.SentOfType(MSG_REBOOT).size(), c.reboots);
    }
}

QTEST_MAIN(FlowDriverTest)
#include "flow_driver_test.moc"
