// Carries out the parts of a flow's step that need the engine, the store and the
// sender thread, the same way for the window driver and the CLI driver. What is left
// (progress, statuses, list refresh, messages, the file server) belongs to the owner.
#pragma once

#include "operations/flow.h"

namespace fk {

class CCommandSender;
class IDeviceLink;
class IOperationStore;

class CFlowExecutor {
  public:
    CFlowExecutor(IDeviceLink& link, IOperationStore& store, CCommandSender& sender)
        : link_(link), store_(store), sender_(sender) {}

    // Store writes first (an upgrade resets a failure before it asks again), then the
    // engine actions in order, then the commands to the sender thread.
    void CarryOut(const FlowStep& step);

  private:
    IDeviceLink& link_;
    IOperationStore& store_;
    CCommandSender& sender_;
};

}  // namespace fk
