#include "config/wep_dlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "app/language.h"

namespace fk {
namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

constexpr const char* kKeyLabels[kWepKeyCount] = {FK_TR("Key1"), FK_TR("Key2"), FK_TR("Key3"),
                                                  FK_TR("Key4")};

}  // namespace

void FillChoiceBox(QComboBox* box, const ChoiceList& list) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const ChoiceItem& item : list.items)
        box->addItem(QString::fromStdString(ShownText(item)), item.code);
    box->setCurrentIndex(list.selected);
    box->setEnabled(list.enabled);
}

CWepDlg::CWepDlg(const SecurityPaneInput& shown, QWidget* parent) : QWidget(parent) {
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    auth_ = new QComboBox(this);
    FillChoiceBox(auth_, shown.wep_auth);
    form->addRow(new QLabel(T("Encryption_Type"), this), auth_);
    default_key_ = new QComboBox(this);
    FillChoiceBox(default_key_, shown.wep_default);
    form->addRow(new QLabel(T("Default_key"), this), default_key_);
    for (int k = 0; k < kWepKeyCount; ++k) {
        auto* row = new QHBoxLayout;
        keys_[k] = new QLineEdit(QString::fromStdString(shown.wep_keys[k].text), this);
        keys_[k]->setMaxLength(static_cast<int>(kWepKeyTextBytes));
        types_[k] = new QComboBox(this);
        FillChoiceBox(types_[k], shown.wep_keys[k].type);
        row->addWidget(keys_[k], 1);
        row->addWidget(types_[k]);
        form->addRow(new QLabel(T(kKeyLabels[k]), this), row);
    }
}

void CWepDlg::Read(SecurityPaneInput& input) const {
    input.wep_auth.selected = auth_->currentIndex();
    input.wep_default.selected = default_key_->currentIndex();
    for (int k = 0; k < kWepKeyCount; ++k) {
        input.wep_keys[k].text = keys_[k]->text().toStdString();
        input.wep_keys[k].type.selected = types_[k]->currentIndex();
    }
}

void CWepDlg::SetInputsEnabled(bool enabled) {
    for (QWidget* w : findChildren<QWidget*>()) w->setEnabled(enabled);
}

}  // namespace fk
