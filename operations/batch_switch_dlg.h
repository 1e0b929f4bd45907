// The choice window of a switch batch: "Enable" or "Disable_off", preset from the
// first device of the batch.
#pragma once

#include "operations/batch_switch.h"
#include "ui/skin_frame_dlg.h"

class QRadioButton;
class QPushButton;

namespace fk {

class CSwitchSetMultiDlg : public CSkinFrameDlg {
    Q_OBJECT
  public:
    CSwitchSetMultiDlg(SwitchKind kind, int current_value, QWidget* parent);

    SwitchKind Kind() const { return kind_; }
    // 1 for "Enable", 0 for "Disable_off".
    int Value() const { return value_; }

    QRadioButton* EnableChoice() const { return enable_; }
    QRadioButton* DisableChoice() const { return disable_; }
    QPushButton* SaveButton() const { return save_; }
    QPushButton* CancelButton() const { return cancel_; }

  private:
    SwitchKind kind_;
    int value_;
    QRadioButton* enable_ = nullptr;
    QRadioButton* disable_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

class CBridgeSetMultiDlg : public CSwitchSetMultiDlg {
    Q_OBJECT
  public:
    CBridgeSetMultiDlg(int current_value, QWidget* parent)
        : CSwitchSetMultiDlg(SwitchKind::TransparentBridge, current_value, parent) {}
};

class CSlotraenSetMultiDlg : public CSwitchSetMultiDlg {
    Q_OBJECT
  public:
    CSlotraenSetMultiDlg(int current_value, QWidget* parent)
        : CSwitchSetMultiDlg(SwitchKind::Slotra, current_value, parent) {}
};

}  // namespace fk
