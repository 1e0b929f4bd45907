#include "ui/flow_driver.h"

namespace fk {

CFlowDriver::CFlowDriver(IDeviceLink& link, IOperationStore& store, CCommandSender& sender,
                         QObject* parent)
    : QObject(parent), executor_(link, store, sender) {
    // A precise timer never fires early, so a tick counter keeps to the wall clock.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CFlowDriver::TickNow);
}

CFlowDriver::~CFlowDriver() = default;

void CFlowDriver::Run(std::unique_ptr<IFlow> flow) {
    timer_.stop();
    held_ = false;
    flow_ = std::move(flow);
    if (!flow_) return;
    IFlow* started = flow_.get();
    timer_.setInterval(static_cast<int>(flow_->Period().count()));
    Handle(flow_->Start(FlowClock::now()));
    // Only once the start has been carried out and shown, and only if it did not end
    // the flow (or its owner did not start another one meanwhile).
    if (flow_.get() == started && !timer_.isActive()) timer_.start();
}

void CFlowDriver::Stop() {
    if (!flow_) return;
    Handle(flow_->Stop(FlowClock::now()));
}

void CFlowDriver::TickNow() {
    // A tick while the owner is still showing a step (a message box runs its own event
    // loop) would carry out what the flow asks behind the user's back; the flow waits.
    if (!flow_ || showing_ > 0 || held_) return;
    Handle(flow_->Tick(FlowClock::now()));
}

void CFlowDriver::Handle(const FlowStep& step) {
    executor_.CarryOut(step);
    // The flow is gone before the owner hears of the end, so the owner may start the
    // next one from its slot.
    if (step.Finished()) {
        timer_.stop();
        flow_.reset();
    }
    ++showing_;
    emit stepped(step);
    --showing_;
    if (step.Finished()) emit finished(step.outcome);
}

}  // namespace fk
