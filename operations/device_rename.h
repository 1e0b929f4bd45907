// Renaming a device in place in the status list: what an edited "Location" cell
// leads to, and the sender that carries the new name to the device.
#pragma once

#include <stop_token>
#include <string>

#include "store/device_record.h"

namespace fk {

class IDeviceLink;

enum class RenameOutcome {
    Unchanged,  // same text: nothing to send
    Restore,    // empty or rejected text: the cell gets the old name back
    Send,
};

struct RenameDecision {
    RenameOutcome outcome = RenameOutcome::Unchanged;
    std::string name;     // for Send: the name as it goes into the cell
    std::string message;  // for a rejected name: the language key of the warning
};

RenameDecision DecideRename(const std::string& old_text, const std::string& new_text,
                            int type_code);

void SendRename(IDeviceLink& link, const ap_select_stu& target, const std::string& name,
                std::stop_token stop);

}  // namespace fk
