// The devices to tick for a batch reboot.
#pragma once

#include "ui/device_list_page.h"

namespace fk {

class CRebootDlg : public CDeviceListPage {
    Q_OBJECT
  public:
    CRebootDlg(const UiContext& context, QWidget* parent)
        : CDeviceListPage(context, PAGE_REBOOT, parent) {}
};

}  // namespace fk
