#include "config/wireless_set_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "app/language.h"
#include "config/wep_dlg.h"
#include "config/wpa_dlg.h"

namespace fk {
namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QLineEdit* DigitsField(const std::string& text, std::size_t digits, QWidget* parent) {
    auto* field = new QLineEdit(Q(text), parent);
    field->setMaxLength(static_cast<int>(digits));
    field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

// The PSK fields and the panels have forms of their own; one label width for all of
// them keeps every input of the tab in one column.
void AlignLabels(std::initializer_list<QFormLayout*> forms) {
    std::vector<QWidget*> labels;
    int width = 0;
    for (QFormLayout* form : forms) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole);
            if (!item || !item->widget()) continue;
            labels.push_back(item->widget());
            width = std::max(width, item->widget()->sizeHint().width());
        }
    }
    for (QWidget* label : labels) label->setMinimumWidth(width);
}

constexpr const char* kCipherLabels[3] = {FK_TR("AES"), FK_TR("TKIP"), FK_TR("TKIP&&AES")};

}  // namespace

CWirelessSetDlg::CWirelessSetDlg(const ap_info_stu& record, QWidget* parent)
    : QWidget(parent),
      record_(record),
      layout_(WirelessLayoutFor(record)),
      state_(WirelessPaneShown(record)) {
    auto* outer = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    outer->addLayout(form);

    auto* ssid_row = new QHBoxLayout;
    ssid_ = new QLineEdit(Q(state_.ssid), this);
    ssid_->setMaxLength(static_cast<int>(kNameTextBytes));
    hide_ = new QCheckBox(T("Wireless_ssid_hide"), this);
    hide_->setChecked(state_.ssid_hidden);
    ssid_row->addWidget(ssid_, 1);
    ssid_row->addWidget(hide_);
    form->addRow(new QLabel(T("Wireless_ssid"), this), ssid_row);

    net_mode_ = new QComboBox(this);
    form->addRow(new QLabel(T("NetMode"), this), net_mode_);
    bandwidth_ = new QComboBox(this);
    form->addRow(new QLabel(T("BandWidth"), this), bandwidth_);
    auto* power_row = new QHBoxLayout;
    power_ = DigitsField(state_.power, kPowerDigits, this);
    power_range_ = new QLabel(Q(PowerRangeText(record)), this);
    power_row->addWidget(power_, 1);
    power_row->addWidget(power_range_);
    form->addRow(new QLabel(T("Wireless_power"), this), power_row);
    country_ = new QComboBox(this);
    form->addRow(new QLabel(T("Wireless_country"), this), country_);
    channel_ = new QComboBox(this);
    form->addRow(new QLabel(T("Wireless_channel"), this), channel_);
    // Radar channels exist only in the 5 GHz band.
    radar_rule_ = new QLabel(T(kRadarChannelRule), this);
    radar_rule_->setWordWrap(true);
    radar_rule_->setVisible(layout_.five_ghz);
    form->addRow(QString(), radar_rule_);
    ext_channel_ = new QComboBox(this);
    form->addRow(new QLabel(T("ExpandChannel"), this), ext_channel_);
    security_ = new QComboBox(this);
    form->addRow(new QLabel(T("Wireless_secureMode"), this), security_);

    // The PSK fields and the two panels share the area under the security mode; only
    // the chosen mode's inputs are shown.
    psk_ = new QWidget(this);
    auto* psk_form = new QFormLayout(psk_);
    psk_form->setContentsMargins(0, 0, 0, 0);
    auto* cipher_row = new QHBoxLayout;
    cipher_group_ = new QButtonGroup(this);
    for (int c = 0; c < 3; ++c) {
        ciphers_[c] = new QRadioButton(T(kCipherLabels[c]), psk_);
        cipher_group_->addButton(ciphers_[c], c);
        cipher_row->addWidget(ciphers_[c]);
    }
    cipher_row->addStretch(1);
    psk_form->addRow(new QLabel(T("Wireless_AutoType"), psk_), cipher_row);
    psk_key_time_ = DigitsField(state_.security.psk_key_time, kKeyTimeDigits, psk_);
    psk_form->addRow(new QLabel(T("Wireless_Key_time"), psk_), psk_key_time_);
    psk_key_ = new QLineEdit(Q(state_.security.psk_key), psk_);
    psk_key_->setMaxLength(static_cast<int>(kKeyTextBytes));
    psk_form->addRow(new QLabel(T("Wireless_Key"), psk_), psk_key_);
    outer->addWidget(psk_);
    wep_ = new CWepDlg(state_.security, this);
    outer->addWidget(wep_);
    wpa_ = new CWpaDlg(state_.security, this);
    outer->addWidget(wpa_);
    outer->addStretch(1);
    AlignLabels({form, psk_form, qobject_cast<QFormLayout*>(wep_->layout()),
                 qobject_cast<QFormLayout*>(wpa_->layout())});

    const auto on_list = [this](QComboBox* box, auto choose) {
        connect(box, &QComboBox::currentIndexChanged, this,
                [this, choose](int index) { OnChosen([&] { choose(index); }); });
    };
    on_list(net_mode_, [this](int i) { ChooseNetMode(record_, state_, i); });
    on_list(bandwidth_, [this](int i) { ChooseBandwidth(record_, state_, i); });
    on_list(country_, [this](int i) { ChooseCountry(record_, state_, i); });
    on_list(channel_, [this](int i) { ChooseChannel(record_, state_, i); });
    on_list(ext_channel_, [this](int i) { ChooseExtChannel(state_, i); });
    on_list(security_, [this](int i) { ChooseSecurityMode(state_.security, i); });

    // Station and repeater radios take their SSID and security from the access point
    // they join: nothing of it is the user's to change here.
    ssid_->setEnabled(layout_.radio);
    hide_->setEnabled(layout_.radio);
    psk_key_->setEnabled(layout_.radio);
    psk_key_time_->setEnabled(layout_.radio);
    wep_->SetInputsEnabled(layout_.radio);
    wpa_->SetInputsEnabled(layout_.radio);
    Show();
}

template <typename Choose>
void CWirelessSetDlg::OnChosen(Choose choose) {
    ReadTyped(state_);
    choose();
    Show();
}

void CWirelessSetDlg::ReadTyped(WirelessPaneInput& into) const {
    into.ssid = ssid_->text().toStdString();
    into.ssid_hidden = hide_->isChecked();
    into.power = power_->text().toStdString();
    SecurityPaneInput& s = into.security;
    if (cipher_group_->checkedId() >= 0) s.psk_cipher = cipher_group_->checkedId();
    s.psk_key = psk_key_->text().toStdString();
    s.psk_key_time = psk_key_time_->text().toStdString();
    wep_->Read(s);
    wpa_->Read(s);
}

void CWirelessSetDlg::Show() {
    FillChoiceBox(net_mode_, state_.net_mode);
    FillChoiceBox(bandwidth_, state_.bandwidth);
    FillChoiceBox(country_, state_.country);
    FillChoiceBox(channel_, state_.channel);
    FillChoiceBox(ext_channel_, state_.ext_channel);
    FillChoiceBox(security_, state_.security.mode);
    const SecurityVisibility shown = SecurityVisibilityFor(state_.security.mode.Code(-1));
    psk_->setVisible(shown.psk);
    psk_->setEnabled(shown.psk);
    ciphers_[kCipherAes]->setEnabled(layout_.radio);
    ciphers_[kCipherTkip]->setEnabled(layout_.radio);
    ciphers_[kCipherTkipAes]->setEnabled(layout_.radio && shown.psk_tkip_aes);
    ciphers_[state_.security.psk_cipher]->setChecked(true);
    wep_->setVisible(shown.wep);
    wpa_->setVisible(shown.radius);
}

WirelessPaneInput CWirelessSetDlg::Input() const {
    WirelessPaneInput input = state_;
    ReadTyped(input);
    return input;
}

void CWirelessSetDlg::Focus(int field) {
    if (field == kWirelessFieldSsid) ssid_->setFocus();
    if (field == kWirelessFieldPower) power_->setFocus();
    if (field == kWirelessFieldPskKeyTime) psk_key_time_->setFocus();
    if (field == kWirelessFieldRadiusKeyTime) wpa_->KeyTimeField()->setFocus();
}

}  // namespace fk
