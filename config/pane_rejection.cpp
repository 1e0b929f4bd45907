#include "config/pane_rejection.h"

#include "app/language.h"

namespace fk {

PaneRejection RejectionOf(const ValidationResult& result, int field) {
    return {Translate(result.message), result.application_title ? Translate("CPEManagement") : "",
            result.icon, field};
}

PaneRejection Warning(const char* key, int field) {
    return {Translate(key), "", MsgIcon::Warning, field};
}

}  // namespace fk
