// The batch address window: a range, one mask, gateway and DNS pair for the ticked
// devices; after Save a 15-second progress while the engine looks for the devices
// under their new addresses.
#pragma once

#include <QTimer>
#include <vector>

#include "config/batch_ip.h"
#include "operations/command_sender.h"
#include "ui/flow_driver.h"
#include "ui/page.h"
#include "ui/skin_frame_dlg.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace fk {

class CIpsetMutilDlg : public CSkinFrameDlg {
    Q_OBJECT
  public:
    // `sender` is the status page's: it outlives this window, so closing the window
    // during the progress keeps the commands already handed to it.
    CIpsetMutilDlg(const UiContext& context, std::vector<ap_select_stu> selection,
                   const ap_info_stu& first, CCommandSender& sender, QWidget* parent);

    QLineEdit* BeginField() const { return fields_[0]; }
    QLineEdit* EndField() const { return fields_[1]; }
    QLineEdit* MaskField() const { return fields_[2]; }
    QLineEdit* GatewayField() const { return fields_[3]; }
    QLineEdit* Dns1Field() const { return fields_[4]; }
    QLineEdit* Dns2Field() const { return fields_[5]; }
    QLabel* EndLabel() const { return end_label_; }
    QProgressBar* Progress() const { return progress_; }
    QPushButton* SaveButton() const { return save_; }
    QPushButton* CancelButton() const { return cancel_; }
    const QTimer& ProgressTimer() const { return driver_.Timer(); }

    void Save();
    void OnProgressTick() { driver_.TickNow(); }
    // Usable during the progress too, when Cancel is not: the window closes without
    // taking back what was sent.
    void OnCloseClicked() override;

  private:
    std::string FieldText(int index) const;
    void OnStep(const FlowStep& step);

    const UiContext& context_;
    std::vector<ap_select_stu> selection_;
    QLineEdit* fields_[6] = {};
    QLabel* begin_label_ = nullptr;
    QLabel* end_label_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
    CCommandSender& sender_;
    CFlowDriver driver_;
};

}  // namespace fk
