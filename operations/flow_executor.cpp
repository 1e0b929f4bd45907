#include "operations/flow_executor.h"

#include "operations/command_sender.h"
#include "protocol/device_link.h"
#include "store/store_view.h"

namespace fk {

void CFlowExecutor::CarryOut(const FlowStep& step) {
    for (const StoreWrite& write : step.writes) {
        switch (write.kind) {
            case StoreWrite::Kind::ResetUpgradeFail:
                store_.ResetUpgradeFail(write.mac);
                break;
            case StoreWrite::Kind::ClearScanResults:
                store_.ClearScanResults();
                break;
        }
    }
    for (EngineAction action : step.actions) {
        switch (action) {
            case EngineAction::ReleasePending:
                link_.ReleasePendingDevices();
                break;
            case EngineAction::DropPending:
                link_.DropPendingDevices();
                break;
            case EngineAction::PruneStore:
                link_.PruneStoreToPresent();
                break;
            case EngineAction::Search:
                link_.SearchDevices();
                break;
        }
    }
    sender_.Send(step.commands);
}

}  // namespace fk
