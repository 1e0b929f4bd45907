// The bridge wizard: survey, security, addresses, finish, one step at a time with
// Back and Next (Save on the last step). Each step's "Next" asks its rule and shows
// only the first refusal; Save hands the page's sender its own copy of the command
// and closes at once, so the user never waits for the device.
#pragma once

#include <string>

#include "operations/bridge_wizard.h"
#include "operations/command_sender.h"
#include "ui/page.h"
#include "ui/skin_frame_dlg.h"

class QPushButton;
class QStackedWidget;

namespace fk {

class CBridgeFinishDlg;
class CBridgeIPSetDlg;
class CBridgeSearcgAPDlg;
class CBridgeSecureDlg;

class CBridgeConfigDlg : public CSkinFrameDlg {
    Q_OBJECT
  public:
    enum Step : int { kStepSurvey, kStepSecurity, kStepAddress, kStepFinish };

    // `ip` and `mac` come from the list row, `record` from the store. Both senders are
    // the page's and outlive this window; the survey starts at once.
    CBridgeConfigDlg(const UiContext& context, std::string ip, std::string mac,
                     const ap_info_stu& record, CCommandSender& survey_sender,
                     CCommandSender& save_sender, QWidget* parent);

    void Next();
    void Back();
    // The close button, and any other way of closing without Save: the survey table
    // is emptied and nothing is sent.
    void reject() override;
    void done(int result) override;

    int CurrentStep() const { return step_; }
    CBridgeSearcgAPDlg* SurveyPanel() const { return survey_; }
    CBridgeSecureDlg* SecurityPanel() const { return security_; }
    CBridgeIPSetDlg* AddressPanel() const { return address_; }
    CBridgeFinishDlg* FinishPanel() const { return finish_; }
    QPushButton* BackButton() const { return back_; }
    QPushButton* NextButton() const { return next_; }

  private:
    void ShowStep(int step);
    void Save();
    void Refuse(const PaneRejection& rejection, int step);

    const UiContext& context_;
    const std::string ip_;
    const std::string mac_;
    const ap_info_stu record_;
    CCommandSender& save_sender_;
    int step_ = kStepSurvey;
    config_otherwl_basic ap_{};
    bridge_set_stu bridge_block_{};
    ip_set_stu ip_block_{};
    QStackedWidget* stack_ = nullptr;
    CBridgeSearcgAPDlg* survey_ = nullptr;
    CBridgeSecureDlg* security_ = nullptr;
    CBridgeIPSetDlg* address_ = nullptr;
    CBridgeFinishDlg* finish_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
};

}  // namespace fk
