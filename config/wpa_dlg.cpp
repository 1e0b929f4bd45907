#include "config/wpa_dlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "app/language.h"
#include "config/wep_dlg.h"
#include "ui/ipv4_field.h"

namespace fk {
namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

CWpaDlg::CWpaDlg(const SecurityPaneInput& shown, QWidget* parent) : QWidget(parent) {
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    cipher_ = new QComboBox(this);
    FillChoiceBox(cipher_, shown.radius_cipher);
    form->addRow(new QLabel(T("Encryption_Type"), this), cipher_);
    server_ = new QLineEdit(Q(shown.radius_server), this);
    MakeIpv4Field(server_);
    form->addRow(new QLabel(T("Radius_server_ip"), this), server_);
    port_ = new QLineEdit(Q(shown.radius_port), this);
    port_->setMaxLength(static_cast<int>(kRadiusPortDigits));
    form->addRow(new QLabel(T("Radius_port"), this), port_);
    key_ = new QLineEdit(Q(shown.radius_key), this);
    key_->setMaxLength(static_cast<int>(kKeyTextBytes));
    form->addRow(new QLabel(T("Radius_Key"), this), key_);
    key_time_ = new QLineEdit(Q(shown.radius_key_time), this);
    key_time_->setMaxLength(static_cast<int>(kKeyTimeDigits));
    key_time_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), key_time_));
    form->addRow(new QLabel(T("Radius_Key_time"), this), key_time_);
}

void CWpaDlg::Read(SecurityPaneInput& input) const {
    input.radius_cipher.selected = cipher_->currentIndex();
    // A blank address field reads as no address at all.
    const QString server = server_->text().trimmed();
    input.radius_server = server.isEmpty() ? "0.0.0.0" : server.toStdString();
    input.radius_port = port_->text().toStdString();
    input.radius_key = key_->text().toStdString();
    input.radius_key_time = key_time_->text().toStdString();
}

void CWpaDlg::SetInputsEnabled(bool enabled) {
    for (QWidget* w : findChildren<QWidget*>()) w->setEnabled(enabled);
}

}  // namespace fk
