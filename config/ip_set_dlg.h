// The "IPSET" tab: five address fields and the device name, shown from the record;
// its Save rule is CollectIpSettings.
#pragma once

#include <QWidget>

#include "config/ip_settings.h"

class QLineEdit;

namespace fk {

class CIPSetDlg : public QWidget {
    Q_OBJECT
  public:
    CIPSetDlg(const ap_info_stu& record, QWidget* parent);

    IpPaneInput Input() const;
    void Focus(int field);
    QLineEdit* Field(int field) const;

  private:
    QLineEdit* fields_[6] = {};
};

}  // namespace fk
