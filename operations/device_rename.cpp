#include "operations/device_rename.h"

#include "app/utf8.h"
#include "config/command_blocks.h"
#include "config/validation.h"
#include "protocol/device_link.h"
#include "protocol/packet.h"

namespace fk {

RenameDecision DecideRename(const std::string& old_text, const std::string& new_text,
                            int type_code) {
    RenameDecision d;
    if (new_text == old_text) return d;
    if (new_text.empty()) {
        d.outcome = RenameOutcome::Restore;
        return d;
    }
    if (!IsValidNameText(new_text, type_code)) {
        d.outcome = RenameOutcome::Restore;
        d.message = UsesRestrictedNames(type_code) ? kMsgNameRestricted : kMsgNamePlain;
        return d;
    }
    d.outcome = RenameOutcome::Send;
    d.name = CutUtf8(new_text, kNameTextBytes);
    return d;
}

void SendRename(IDeviceLink& link, const ap_select_stu& target, const std::string& name,
                std::stop_token stop) {
    if (stop.stop_requested()) return;
    link.SendToDevice(target.ip, MSG_SET_NAME, BuildNameBlock(name), target.mac, true);
}

}  // namespace fk
