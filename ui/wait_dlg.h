// The wait window: a progress bar while devices apply what they were sent, and a close
// button that ends the wait early (what was handed to the engine is still repeated
// until answered). It draws any flow: the plain wait schedule of the management window
// or a batch that also reports statuses, which its owner hears through `stepped`.
#pragma once

#include <memory>

#include "operations/command_sender.h"
#include "operations/flow.h"
#include "ui/flow_driver.h"
#include "ui/page.h"
#include "ui/skin_dialog.h"

class QLabel;
class QProgressBar;

namespace fk {

class CImageButton;

class CWaitDlg : public CSkinDialog {
    Q_OBJECT
  public:
    // The flow starts when the window is shown. It ends the window: accepted when the
    // flow is done or its wait is over, rejected when the close button ended it. A flow
    // that goes on after its wait keeps running in the hidden window, which its owner
    // keeps until the flow has finished.
    CWaitDlg(const UiContext& context, CCommandSender& sender, std::unique_ptr<IFlow> flow,
             QWidget* parent);

    QProgressBar* Progress() const { return progress_; }
    QLabel* Label() const { return label_; }
    CImageButton* CloseButton() const { return close_; }
    const CFlowDriver& Driver() const { return driver_; }
    // Starts the flow without showing the window, for tests that step it themselves.
    void StartFlow();
    void TickNow() { driver_.TickNow(); }

  signals:
    void stepped(const fk::FlowStep& step);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void OnStep(const FlowStep& step);
    void OnCloseClicked();

    CFlowDriver driver_;
    std::unique_ptr<IFlow> flow_;
    QProgressBar* progress_ = nullptr;
    QLabel* label_ = nullptr;
    CImageButton* close_ = nullptr;
    bool closed_by_user_ = false;
    bool ended_ = false;
};

}  // namespace fk
