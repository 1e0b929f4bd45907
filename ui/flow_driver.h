// The window driver of a flow: a timer on the UI thread ticks it, the engine actions
// and store writes of each step are carried out at once, and its commands go to the
// owner's sender thread, so the UI thread never waits on a send. What the step shows
// (progress, statuses, refresh, messages) reaches the owner through `stepped`.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "operations/flow.h"
#include "operations/flow_executor.h"

namespace fk {

class CFlowDriver : public QObject {
    Q_OBJECT
  public:
    CFlowDriver(IDeviceLink& link, IOperationStore& store, CCommandSender& sender,
                QObject* parent = nullptr);
    ~CFlowDriver() override;

    // Starts `flow`, replacing (without stopping its sends) a flow still running.
    void Run(std::unique_ptr<IFlow> flow);
    // The user ends the flow early; its final step is carried out and shown.
    void Stop();
    // One tick now; the timer calls it, and tests call it to step without waiting.
    // Nothing happens while the owner is still handling a step: a flow asks for nothing
    // while a box its step opened is on screen, and a step that ends it is its last.
    void TickNow();
    // The owner keeps the flow waiting beyond its handler, while it carries out part of
    // a step off the UI thread (the upgrade's file server start): ticks do nothing until
    // Resume. Stop still ends the flow.
    void Hold() { held_ = true; }
    void Resume() { held_ = false; }
    bool Held() const { return held_; }

    bool Running() const { return flow_ != nullptr; }
    const QTimer& Timer() const { return timer_; }

  signals:
    void stepped(const fk::FlowStep& step);
    void finished(fk::FlowOutcome outcome);

  private:
    void Handle(const FlowStep& step);

    CFlowExecutor executor_;
    QTimer timer_;
    std::unique_ptr<IFlow> flow_;
    int showing_ = 0;  // depth of `stepped` handlers running
    bool held_ = false;
};

}  // namespace fk
