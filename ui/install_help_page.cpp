#include "ui/install_help_page.h"

#include <QVBoxLayout>

#include "app/skin_values.h"
#include "ui/picture_view.h"
#include "ui/skin.h"
#include "ui/translate_widgets.h"

namespace fk {

CInstallHelpDlg::CInstallHelpDlg(const UiContext&, QWidget* parent) : CPageBase(parent) {
    ApplySkinBackground(*this);
    TranslateWindow(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new CPictureView(this);
    view_->SetImageFile(QString::fromStdString(CurrentSkin().ImagePath(SkinImage::InstallHelp)));
    layout->addWidget(view_);
}

}  // namespace fk
