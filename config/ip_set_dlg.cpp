#include "config/ip_set_dlg.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/language.h"
#include "ui/ipv4_field.h"

namespace fk {
namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

std::string Text(const QLineEdit* field) {
    return field->text().trimmed().toStdString();
}

}  // namespace

CIPSetDlg::CIPSetDlg(const ap_info_stu& record, QWidget* parent) : QWidget(parent) {
    auto* form = new QFormLayout(this);
    const char* captions[6] = {FK_TR("IP_Address"), FK_TR("Sub_Network"),
                               FK_TR("Gate_Way"),   FK_TR("Major_Dns"),
                               FK_TR("Dns"),        FK_TR("Wireless_location")};
    for (int i = 0; i < 6; ++i) {
        fields_[i] = new QLineEdit(this);
        if (i < 5) MakeIpv4Field(fields_[i]);
        form->addRow(new QLabel(T(captions[i]), this), fields_[i]);
    }
    fields_[5]->setMaxLength(32);
    const IpPaneInput shown = IpPaneShown(record);
    const std::string* values[6] = {&shown.ip,   &shown.mask, &shown.gateway,
                                    &shown.dns1, &shown.dns2, &shown.name};
    for (int i = 0; i < 6; ++i) fields_[i]->setText(Q(*values[i]));
}

QLineEdit* CIPSetDlg::Field(int field) const {
    return field >= kIpFieldIp && field <= kIpFieldName ? fields_[field - kIpFieldIp] : nullptr;
}

IpPaneInput CIPSetDlg::Input() const {
    return {Text(fields_[0]), Text(fields_[1]), Text(fields_[2]),
            Text(fields_[3]), Text(fields_[4]), fields_[5]->text().toStdString()};
}

void CIPSetDlg::Focus(int field) {
    if (QLineEdit* f = Field(field)) f->setFocus();
}

}  // namespace fk
