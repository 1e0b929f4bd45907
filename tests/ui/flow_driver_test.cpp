#include <QSignalSpy>
#include <QtTest>
#include <chrono>

#include "operations/command_sender.h"
#include "protocol/packet.h"
#include "support/fake_store.h"
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

QTEST_MAIN(FlowDriverTest)
#include "flow_driver_test.moc"
