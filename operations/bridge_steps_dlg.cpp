#include "operations/bridge_steps_dlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/language.h"
#include "config/channel_list.h"
#include "ui/ipv4_field.h"
#include "ui/skin.h"

namespace fk {
namespace {

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QString T(const char* key) {
    return Q(Translate(key));
}

std::string Text(const QLineEdit* field) {
    return field->text().toStdString();
}

constexpr int kSsidMaxChars = 32;
constexpr int kPskMaxChars = 64;
constexpr int kWepMaxChars = 26;

}  // namespace

CBridgeWepDlg::CBridgeWepDlg(QWidget* parent) : QWidget(parent) {
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    auth_ = new QComboBox(this);
    auth_->addItem(T("Open"), 0);
    auth_->addItem(T("Share"), 1);
    form->addRow(T("Encryption_Type"), auth_);
    default_key_ = new QComboBox(this);
    const char* key_names[4] = {FK_TR("Key 1"), FK_TR("Key 2"), FK_TR("Key 3"), FK_TR("Key 4")};
    for (int k = 0; k < 4; ++k) default_key_->addItem(T(key_names[k]), k + 1);
    form->addRow(T("Default_key"), default_key_);
    const char* rows[4] = {FK_TR("Key1"), FK_TR("Key2"), FK_TR("Key3"), FK_TR("Key4")};
    for (std::size_t k = 0; k < 4; ++k) {
        auto* line = new QHBoxLayout;
        keys_[k] = new QLineEdit(this);
        keys_[k]->setMaxLength(kWepMaxChars);
        types_[k] = new QComboBox(this);
        types_[k]->addItem(T("ASCII"), kWepAscii);
        types_[k]->addItem(T("Hex"), kWepHex);
        line->addWidget(keys_[k], 1);
        line->addWidget(types_[k]);
        form->addRow(T(rows[k]), line);
    }
}

void CBridgeWepDlg::Show(const WepKeysInput& in) {
    auth_->setCurrentIndex(auth_->findData(in.auth_type));
    default_key_->setCurrentIndex(default_key_->findData(in.default_key));
    for (std::size_t k = 0; k < 4; ++k) {
        keys_[k]->setText(Q(in.keys[k]));
        types_[k]->setCurrentIndex(types_[k]->findData(in.types[k]));
    }
}

WepKeysInput CBridgeWepDlg::Input() const {
    WepKeysInput in;
    in.auth_type = auth_->currentData().toInt();
    in.default_key = default_key_->currentData().toInt();
    for (std::size_t k = 0; k < 4; ++k) {
        in.keys[k] = Text(keys_[k]);
        in.types[k] = types_[k]->currentData().toInt();
    }
    return in;
}

CBridgeSecureDlg::CBridgeSecureDlg(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    ssid_ = new QLineEdit(this);
    ssid_->setMaxLength(kSsidMaxChars);
    form->addRow(T("BridgeSSID"), ssid_);
    channel_ = new QComboBox(this);
    form->addRow(T("Channel"), channel_);
    security_ = new QComboBox(this);
    for (const BridgeSecurityEntry& entry : BridgeSecurityEntries())
        security_->addItem(T(entry.key), entry.code);
    form->addRow(T("SecureMode"), security_);

    ciphers_row_ = new QWidget(this);
    auto* cipher_row = new QHBoxLayout(ciphers_row_);
    cipher_row->setContentsMargins(0, 0, 0, 0);
    cipher_group_ = new QButtonGroup(this);
    cipher_group_->setExclusive(true);
    const char* cipher_names[3] = {FK_TR("AES"), FK_TR("TKIP"), FK_TR("TKIP&&AES")};
    for (std::size_t c = 0; c < 3; ++c) {
        // "&&" keeps the ampersand from becoming a shortcut marker.
        ciphers_[c] = new QRadioButton(T(cipher_names[c]), ciphers_row_);
        cipher_group_->addButton(ciphers_[c], static_cast<int>(c));
        cipher_row->addWidget(ciphers_[c]);
    }
    cipher_row->addStretch(1);
    ciphers_[kCipherAes]->setChecked(true);
    // The wireless tab's caption of the same three choices: the pack's text for
    // "Encryption_Type" names the WEP authentication.
    form->addRow(T("Wireless_AutoType"), ciphers_row_);
    key_ = new QLineEdit(this);
    key_->setMaxLength(kPskMaxChars);
    form->addRow(T("WirelessKey"), key_);
    key_time_ = new QLineEdit(this);
    key_time_->setMaxLength(static_cast<int>(kKeyTimeDigits));
    key_time_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,5}")), key_time_));
    key_time_->setText(QStringLiteral("0"));
    form->addRow(T("Key_time"), key_time_);
    wep_ = new CBridgeWepDlg(this);
    form->addRow(wep_);
    form_ = form;
    layout->addLayout(form);
    layout->addStretch(1);

    connect(security_, &QComboBox::currentIndexChanged, this, &CBridgeSecureDlg::OnSecurityChanged);
    OnSecurityChanged();
}

void CBridgeSecureDlg::Show(const BridgeSecurityInput& in, const std::vector<int>& channels) {
    ssid_->setText(Q(in.ssid));
    channel_->clear();
    for (int channel : channels) channel_->addItem(Q(ChannelEntryText(channel)), channel);
    const int at = channel_->findData(in.channel);
    channel_->setCurrentIndex(at >= 0 ? at : 0);
    if (in.cipher >= kCipherAes && in.cipher <= kCipherTkipAes)
        ciphers_[static_cast<std::size_t>(in.cipher)]->setChecked(true);
    key_->setText(Q(in.key));
    key_time_->setText(Q(in.key_time));
    wep_->Show(in.wep);
    const int entry = security_->findData(in.security);
    security_->setCurrentIndex(entry >= 0 ? entry : 0);
    // The same entry chosen again sends no change signal; the rule must still run.
    OnSecurityChanged();
}

void CBridgeSecureDlg::OnSecurityChanged() {
    const int security = security_->currentData().toInt();
    const bool psk = IsPskSecurity(security);
    for (QWidget* field :
         {ciphers_row_, static_cast<QWidget*>(key_), static_cast<QWidget*>(key_time_)}) {
        form_->setRowVisible(field, psk);
        field->setEnabled(psk);
    }
    form_->setRowVisible(wep_, security == kBridgeWep);
    const bool both_offered = CipherOffered(security, kCipherTkipAes);
    ciphers_[kCipherTkipAes]->setEnabled(both_offered);
    if (psk && !both_offered && ciphers_[kCipherTkipAes]->isChecked())
        ciphers_[kCipherAes]->setChecked(true);
}

int CBridgeSecureDlg::ChosenCipher() const {
    const int id = cipher_group_->checkedId();
    return id < 0 ? kCipherAes : id;
}

BridgeSecurityInput CBridgeSecureDlg::Input() const {
    BridgeSecurityInput in;
    in.ssid = Text(ssid_);
    in.channel = channel_->currentData().toInt();
    in.security = security_->currentData().toInt();
    in.cipher = ChosenCipher();
    in.key = Text(key_);
    in.key_time = Text(key_time_);
    in.wep = wep_->Input();
    return in;
}

void CBridgeSecureDlg::Focus(int field) {
    if (field == kBridgeFieldSsid) ssid_->setFocus();
    if (field == kBridgeFieldKey) key_->setFocus();
    if (field >= kBridgeFieldWepKey1 && field < kBridgeFieldWepKey1 + 4)
        wep_->KeyField(field - kBridgeFieldWepKey1)->setFocus();
}

CBridgeIPSetDlg::CBridgeIPSetDlg(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* tip = new QLabel(T("Toptip"), this);
    tip->setWordWrap(true);
    layout->addWidget(tip);
    auto* form = new QFormLayout;
    const char* captions[5] = {FK_TR("IP_Address"), FK_TR("Sub_Network"), FK_TR("Gate_Way"),
                               FK_TR("Major_Dns"), FK_TR("Dns")};
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        fields_[i] = new QLineEdit(this);
        MakeIpv4Field(fields_[i]);
        form->addRow(T(captions[i]), fields_[i]);
    }
    layout->addLayout(form);
    layout->addStretch(1);
}

void CBridgeIPSetDlg::Show(const BridgeIpInput& in) {
    const std::string* values[5] = {&in.ip, &in.mask, &in.gateway, &in.dns1, &in.dns2};
    for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(Q(*values[i]));
}

BridgeIpInput CBridgeIPSetDlg::Input() const {
    const auto text = [](const QLineEdit* f) { return f->text().trimmed().toStdString(); };
    return {text(fields_[0]), text(fields_[1]), text(fields_[2]), text(fields_[3]),
            text(fields_[4])};
}

QLineEdit* CBridgeIPSetDlg::Field(int field) const {
    const int i = field - kBridgeFieldIp;
    return i >= 0 && i < 5 ? fields_[static_cast<std::size_t>(i)] : nullptr;
}

void CBridgeIPSetDlg::Focus(int field) {
    if (QLineEdit* f = Field(field)) f->setFocus();
}

CBridgeFinishDlg::CBridgeFinishDlg(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    picture_ = new QLabel(this);
    picture_->setPixmap(SkinPixmap(SkinImage::BridgeFinish));
    picture_->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture_, 1);
    auto* text = new QLabel(T("You are configuring the device to work as Station mode."), this);
    text->setAlignment(Qt::AlignCenter);
    text->setWordWrap(true);
    layout->addWidget(text);
}

}  // namespace fk
