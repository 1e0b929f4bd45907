// The devices to tick for a batch factory restore.
#pragma once

#include "ui/device_list_page.h"

namespace fk {

class CRestoreDlg : public CDeviceListPage {
    Q_OBJECT
  public:
    CRestoreDlg(const UiContext& context, QWidget* parent)
        : CDeviceListPage(context, PAGE_RESTORE, parent) {}
};

}  // namespace fk
