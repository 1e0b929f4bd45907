// The picture that shows how the radios are installed, larger than the page, in a
// scrolling view.
#pragma once

#include "ui/page.h"

namespace fk {

class CPictureView;

class CInstallHelpDlg : public CPageBase {
    Q_OBJECT
  public:
    CInstallHelpDlg(const UiContext& context, QWidget* parent = nullptr);

    int PageCode() const override { return PAGE_INSTALL_HELP; }
    CPictureView* View() const { return view_; }

  private:
    CPictureView* view_ = nullptr;
};

}  // namespace fk
