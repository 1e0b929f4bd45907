// The WEP panel of the wireless tab: authentication, the default key and four keys
// with their types. It only shows and hands back inputs; the checks are
// CheckSecurity's.
#pragma once

#include <QWidget>
#include <array>

#include "config/wireless_security.h"

class QComboBox;
class QLineEdit;

namespace fk {

class CWepDlg : public QWidget {
    Q_OBJECT
  public:
    CWepDlg(const SecurityPaneInput& shown, QWidget* parent);

    // Copies the panel's inputs into `input`.
    void Read(SecurityPaneInput& input) const;
    void SetInputsEnabled(bool enabled);

    QComboBox* AuthList() const { return auth_; }
    QComboBox* DefaultKeyList() const { return default_key_; }
    QLineEdit* KeyField(int k) const { return keys_[k]; }
    QComboBox* KeyTypeList(int k) const { return types_[k]; }

  private:
    QComboBox* auth_ = nullptr;
    QComboBox* default_key_ = nullptr;
    std::array<QLineEdit*, kWepKeyCount> keys_{};
    std::array<QComboBox*, kWepKeyCount> types_{};
};

// Fills a list from its rule's items, codes as item data, without emitting a change.
void FillChoiceBox(QComboBox* box, const ChoiceList& list);

}  // namespace fk
