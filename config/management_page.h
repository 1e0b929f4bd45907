// The devices with their main wireless settings, each row the way into its settings.
#pragma once

#include "ui/device_list_page.h"

namespace fk {

class CManagementDlg : public CDeviceListPage {
    Q_OBJECT
  public:
    CManagementDlg(const UiContext& context, QWidget* parent)
        : CDeviceListPage(context, PAGE_MANAGEMENT, parent) {}
};

}  // namespace fk
