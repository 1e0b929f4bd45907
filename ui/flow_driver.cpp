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
    flow_ = std::move(flow);
    if (!flow_) return;
    timer_.setInterval(static_cast<int>(flow_->Period().count()));
    timer_.start();
    Handle(flow_->Start(FlowClock::now()));
}

void CFlowDriver::Stop() {
    if (!flow_) return;
    Handle(flow_->Stop(FlowClock::now()));
}

void CFlowDriver::TickNow() {
    if (!flow_) return;
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
    emit stepped(step);
    if (step.Finished()) emit finished(step.outcome);
}

}  // namespace fk
