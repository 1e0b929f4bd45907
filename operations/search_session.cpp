#include "operations/search_session.h"

#include "protocol/device_link.h"

namespace fk {

void CSearchSession::Start() {
    running_ = true;
    ticks_ = 0;
    link_.ReleasePendingDevices();
    link_.DropPendingDevices();
    link_.PruneStoreToPresent();
    link_.SearchDevices();
}

CSearchSession::Step CSearchSession::Tick() {
    if (!running_) return Step::Finish;
    ++ticks_;
    if (ticks_ >= kTicks) {
        running_ = false;
        return Step::Finish;
    }
    if (ticks_ % kSearchEvery != 0) return Step::Wait;
    link_.SearchDevices();
    return Step::Refresh;
}

}  // namespace fk
