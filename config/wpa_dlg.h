// The RADIUS panel of the wireless tab (WPA and WPA2 with a server): cipher, server
// address and port, shared secret and key renewal. It only shows and hands back
// inputs; the checks are CheckSecurity's.
#pragma once

#include <QWidget>

#include "config/wireless_security.h"

class QComboBox;
class QLineEdit;

namespace fk {

class CWpaDlg : public QWidget {
    Q_OBJECT
  public:
    CWpaDlg(const SecurityPaneInput& shown, QWidget* parent);

    void Read(SecurityPaneInput& input) const;
    void SetInputsEnabled(bool enabled);

    QComboBox* CipherList() const { return cipher_; }
    QLineEdit* ServerField() const { return server_; }
    QLineEdit* PortField() const { return port_; }
    QLineEdit* KeyField() const { return key_; }
    QLineEdit* KeyTimeField() const { return key_time_; }

  private:
    QComboBox* cipher_ = nullptr;
    QLineEdit* server_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* key_ = nullptr;
    QLineEdit* key_time_ = nullptr;
};

}  // namespace fk
