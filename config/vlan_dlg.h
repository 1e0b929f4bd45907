// The "VLAN" tab: the tick box and the identifiers the model shows, editable only on
// an access point; its Save rule is CollectVlan.
#pragma once

#include <QWidget>

#include "config/vlan_settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace fk {

class CVlanDlg : public QWidget {
    Q_OBJECT
  public:
    CVlanDlg(const ap_info_stu& record, QWidget* parent);

    VlanPaneInput Input() const;
    void Focus(int field);
    QCheckBox* EnableBox() const { return enable_; }
    QLineEdit* Field(int field) const;
    QLabel* Label(int field) const;

  private:
    void UpdateEnabled();

    VlanLayout layout_;
    QCheckBox* enable_ = nullptr;
    QLineEdit* fields_[6] = {};
    QLabel* labels_[6] = {};
};

}  // namespace fk
