// The devices to tick for a batch factory restore; the reboot page with another command,
// two more rediscovery passes and the "Power" column.
#pragma once

#include "operations/reboot_page.h"

namespace fk {

class CRestoreDlg : public CRebootPageBase {
    Q_OBJECT
  public:
    CRestoreDlg(const UiContext& context, QWidget* parent)
        : CRebootPageBase(context, RebootKind::Restore, PAGE_RESTORE, parent) {}
};

}  // namespace fk
