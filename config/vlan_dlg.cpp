#include "config/vlan_dlg.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/language.h"

namespace fk {
namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

}  // namespace

CVlanDlg::CVlanDlg(const ap_info_stu& record, QWidget* parent)
    : QWidget(parent), layout_(VlanLayoutFor(record)) {
    auto* outer = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    enable_ = new QCheckBox(T("Enable"), this);
    top->addRow(new QLabel(T("VLAN configuration"), this), enable_);
    outer->addLayout(top);
    auto* form = new QFormLayout;
    const char* captions[6] = {FK_TR("PVID"),      FK_TR("Manage VLAN"), FK_TR("WLAN"),
                               layout_.lan2_label, FK_TR("LAN3"),        FK_TR("LAN4")};
    const bool shown[6] = {layout_.pvid, true, true, layout_.lan2, layout_.lan3, layout_.lan4};
    const VlanPaneInput values = VlanPaneShown(record);
    const std::string* texts[6] = {&values.pvid, &values.manage, &values.wlan,
                                   &values.lan2, &values.lan3,   &values.lan4};
    const QRegularExpression digits(QStringLiteral("[0-9]{0,4}"));
    for (int i = 0; i < 6; ++i) {
        fields_[i] = new QLineEdit(QString::fromStdString(*texts[i]), this);
        fields_[i]->setMaxLength(4);
        fields_[i]->setValidator(new QRegularExpressionValidator(digits, fields_[i]));
        labels_[i] = new QLabel(T(captions[i]), this);
        form->addRow(labels_[i], fields_[i]);
        labels_[i]->setVisible(shown[i]);
        fields_[i]->setVisible(shown[i]);
    }
    outer->addLayout(form);
    outer->addStretch(1);
    enable_->setChecked(values.enabled);
    connect(enable_, &QCheckBox::toggled, this, &CVlanDlg::UpdateEnabled);
    UpdateEnabled();
}

void CVlanDlg::UpdateEnabled() {
    enable_->setEnabled(layout_.editable);
    const bool on = layout_.editable && enable_->isChecked();
    for (QLineEdit* f : fields_) f->setEnabled(on);
}

QLineEdit* CVlanDlg::Field(int field) const {
    return field >= kVlanFieldPvid && field <= kVlanFieldLan4 ? fields_[field - kVlanFieldPvid]
                                                              : nullptr;
}

QLabel* CVlanDlg::Label(int field) const {
    return field >= kVlanFieldPvid && field <= kVlanFieldLan4 ? labels_[field - kVlanFieldPvid]
                                                              : nullptr;
}

VlanPaneInput CVlanDlg::Input() const {
    const auto text = [this](int i) { return fields_[i]->text().toStdString(); };
    return {enable_->isChecked(), text(0), text(1), text(2), text(3), text(4), text(5)};
}

void CVlanDlg::Focus(int field) {
    if (QLineEdit* f = Field(field)) f->setFocus();
}

}  // namespace fk
