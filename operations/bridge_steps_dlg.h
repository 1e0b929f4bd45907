// The wizard's steps after the survey: the link's SSID, channel and security (with the
// WEP keys panel), the device's own addresses, and the closing picture. Each shows
// what its rule presets and hands back what the user made of it.
#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "operations/bridge_wizard.h"

class QButtonGroup;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace fk {

class CBridgeWepDlg : public QWidget {
    Q_OBJECT
  public:
    explicit CBridgeWepDlg(QWidget* parent);

    void Show(const WepKeysInput& input);
    WepKeysInput Input() const;
    QLineEdit* KeyField(int index) const { return keys_[static_cast<std::size_t>(index)]; }
    QComboBox* TypeBox(int index) const { return types_[static_cast<std::size_t>(index)]; }
    QComboBox* DefaultKeyBox() const { return default_key_; }
    QComboBox* AuthBox() const { return auth_; }

  private:
    QComboBox* auth_ = nullptr;
    QComboBox* default_key_ = nullptr;
    std::array<QLineEdit*, 4> keys_{};
    std::array<QComboBox*, 4> types_{};
};

class CBridgeSecureDlg : public QWidget {
    Q_OBJECT
  public:
    explicit CBridgeSecureDlg(QWidget* parent);

    // Refills the channel list and shows the preset, with the visibility of its entry.
    void Show(const BridgeSecurityInput& input, const std::vector<int>& channels);
    BridgeSecurityInput Input() const;
    void Focus(int field);

    QLineEdit* SsidField() const { return ssid_; }
    QComboBox* ChannelBox() const { return channel_; }
    QComboBox* SecurityBox() const { return security_; }
    QRadioButton* CipherButton(int cipher) const {
        return ciphers_[static_cast<std::size_t>(cipher)];
    }
    QLineEdit* KeyField() const { return key_; }
    QLineEdit* KeyTimeField() const { return key_time_; }
    CBridgeWepDlg* WepPanel() const { return wep_; }

  private:
    void OnSecurityChanged();
    int ChosenCipher() const;

    QLineEdit* ssid_ = nullptr;
    QComboBox* channel_ = nullptr;
    QComboBox* security_ = nullptr;
    QFormLayout* form_ = nullptr;
    QWidget* ciphers_row_ = nullptr;
    QButtonGroup* cipher_group_ = nullptr;
    std::array<QRadioButton*, 3> ciphers_{};
    QLineEdit* key_ = nullptr;
    QLineEdit* key_time_ = nullptr;
    CBridgeWepDlg* wep_ = nullptr;
};

class CBridgeIPSetDlg : public QWidget {
    Q_OBJECT
  public:
    explicit CBridgeIPSetDlg(QWidget* parent);

    void Show(const BridgeIpInput& input);
    BridgeIpInput Input() const;
    void Focus(int field);
    QLineEdit* Field(int field) const;

  private:
    std::array<QLineEdit*, 5> fields_{};
};

class CBridgeFinishDlg : public QWidget {
    Q_OBJECT
  public:
    explicit CBridgeFinishDlg(QWidget* parent);
    QLabel* Picture() const { return picture_; }

  private:
    QLabel* picture_ = nullptr;
};

}  // namespace fk
