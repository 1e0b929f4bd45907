// The devices with their bridge state, each row the way into the bridge wizard.
#pragma once

#include "ui/device_list_page.h"

namespace fk {

class CBridgeDlg : public CDeviceListPage {
    Q_OBJECT
  public:
    CBridgeDlg(const UiContext& context, QWidget* parent)
        : CDeviceListPage(context, PAGE_BRIDGE, parent) {}
};

}  // namespace fk
