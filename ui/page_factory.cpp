#include "ui/page_factory.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/language.h"
#include "ui/install_help_page.h"
#include "ui/navigation_table.h"
#include "ui/skin.h"
#include "ui/system_tool_page.h"

namespace fk {
namespace {

// Stands in for a page whose window is not part of this build yet: it shows the
// page's caption so the navigation still leads somewhere visible.
class CCaptionPage final : public CPageBase {
  public:
    CCaptionPage(int code, QWidget* parent) : CPageBase(parent), code_(code) {
        ApplySkinBackground(*this);
        auto* layout = new QVBoxLayout(this);
        auto* caption = new QLabel(QString::fromUtf8(PageCaptionKey(code)), this);
        caption->setAlignment(Qt::AlignCenter);
        layout->addWidget(caption);
    }
    int PageCode() const override { return code_; }

  private:
    int code_;
};

}  // namespace

CPageBase* CreatePage(int code, const UiContext& context, QWidget* parent) {
    switch (code) {
        case PAGE_SYSTEM_TOOL:
            return new CSystemToolDlg(context, parent);
        case PAGE_INSTALL_HELP:
            return new CInstallHelpDlg(context, parent);
        case PAGE_STATUS:
        case PAGE_MANAGEMENT:
        case PAGE_BRIDGE:
        case PAGE_REBOOT:
        case PAGE_UPGRADE:
        case PAGE_RESTORE:
            return new CCaptionPage(code, parent);
        default:
            return nullptr;
    }
}

}  // namespace fk
