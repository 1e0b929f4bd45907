// The "WirelessSet" tab: the radio's lists and fields with the security inputs below
// them, the WEP and RADIUS panels over the same area. Every choice goes through the
// tab's rule (ChooseNetMode and its kin), and the tab only shows what the rule made
// of it; its Save rule is CollectWireless.
#pragma once

#include <QWidget>
#include <array>

#include "config/wireless_settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace fk {

class CWepDlg;
class CWpaDlg;

class CWirelessSetDlg : public QWidget {
    Q_OBJECT
  public:
    CWirelessSetDlg(const ap_info_stu& record, QWidget* parent);

    WirelessPaneInput Input() const;
    void Focus(int field);

    QLineEdit* SsidField() const { return ssid_; }
    QCheckBox* HideBox() const { return hide_; }
    QComboBox* NetModeList() const { return net_mode_; }
    QComboBox* BandwidthList() const { return bandwidth_; }
    QLineEdit* PowerField() const { return power_; }
    QLabel* PowerRange() const { return power_range_; }
    QComboBox* CountryList() const { return country_; }
    QComboBox* ChannelList() const { return channel_; }
    QLabel* RadarChannelRule() const { return radar_rule_; }
    QComboBox* ExtChannelList() const { return ext_channel_; }
    QComboBox* SecurityList() const { return security_; }
    QWidget* PskFields() const { return psk_; }
    QRadioButton* CipherButton(int cipher) const { return ciphers_[cipher]; }
    QLineEdit* PskKeyField() const { return psk_key_; }
    QLineEdit* PskKeyTimeField() const { return psk_key_time_; }
    CWepDlg* WepPanel() const { return wep_; }
    CWpaDlg* WpaPanel() const { return wpa_; }

  private:
    // What the user typed and ticked, copied into the rule's input: before a choice
    // rebuilds the lists, and for Save.
    void ReadTyped(WirelessPaneInput& into) const;
    void Show();
    template <typename Choose>
    void OnChosen(Choose choose);

    const ap_info_stu record_;
    const WirelessLayout layout_;
    WirelessPaneInput state_;
    QLineEdit* ssid_ = nullptr;
    QCheckBox* hide_ = nullptr;
    QComboBox* net_mode_ = nullptr;
    QComboBox* bandwidth_ = nullptr;
    QLineEdit* power_ = nullptr;
    QLabel* power_range_ = nullptr;
    QComboBox* country_ = nullptr;
    QComboBox* channel_ = nullptr;
    QLabel* radar_rule_ = nullptr;
    QComboBox* ext_channel_ = nullptr;
    QComboBox* security_ = nullptr;
    QWidget* psk_ = nullptr;
    QButtonGroup* cipher_group_ = nullptr;
    std::array<QRadioButton*, 3> ciphers_{};
    QLineEdit* psk_key_time_ = nullptr;
    QLineEdit* psk_key_ = nullptr;
    CWepDlg* wep_ = nullptr;
    CWpaDlg* wpa_ = nullptr;
};

}  // namespace fk
