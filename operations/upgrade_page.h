// The devices to tick for a firmware upgrade, with their firmware versions.
#pragma once

#include "ui/device_list_page.h"

namespace fk {

class CUpgradeDlg : public CDeviceListPage {
    Q_OBJECT
  public:
    CUpgradeDlg(const UiContext& context, QWidget* parent)
        : CDeviceListPage(context, PAGE_UPGRADE, parent) {}
};

}  // namespace fk
