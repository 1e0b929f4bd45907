#include "ui/child_dlg.h"

#include "ui/navigation_table.h"
#include "ui/skin.h"
#include "ui/translate_widgets.h"

namespace fk {
namespace {

// Pages that follow a batch run copy statuses on their own timer; a container refresh
// in the middle would re-query and reset the list the user is watching.
bool FollowsItsOwnRun(int code) {
    return code == PAGE_REBOOT || code == PAGE_UPGRADE || code == PAGE_RESTORE;
}

bool HasList(int code) {
    return code != PAGE_INSTALL_HELP && code != PAGE_SYSTEM_TOOL;
}

}  // namespace

CChildDlg::CChildDlg(const UiContext& context, QWidget* parent, const PageFactory& factory)
    : QWidget(parent) {
    ApplySkinBackground(*this);
    TranslateWindow(this);
    for (const int code : kPageCreationOrder) {
        CPageBase* page = factory(code, context, this);
        if (page == nullptr) continue;
        page->setVisible(code == current_);
        pages_[code] = page;
    }
    switch_timer_.setSingleShot(true);
    switch_timer_.setInterval(kSwitchRefreshMs);
    connect(&switch_timer_, &QTimer::timeout, this, &CChildDlg::OnSwitchTimer);
    periodic_timer_.setInterval(kPeriodicRefreshMs);
    connect(&periodic_timer_, &QTimer::timeout, this, &CChildDlg::OnPeriodicTimer);
    switch_timer_.start();
    periodic_timer_.start();
}

CPageBase* CChildDlg::Page(int code) const {
    const auto it = pages_.find(code);
    return it == pages_.end() ? nullptr : it->second;
}

void CChildDlg::ShowPage(int code) {
    if (pages_.count(code) == 0) return;
    current_ = code;
    for (const auto& [page_code, page] : pages_) page->setVisible(page_code == code);
    switch_timer_.start();
}

void CChildDlg::GoToPage(int code, int index) {
    if (code < PAGE_STATUS || code > PAGE_RESTORE) return;
    if (CPageBase* page = Page(code)) page->GoToPage(index);
}

void CChildDlg::RefreshPage(int code) {
    if (!HasList(code)) return;
    if (CPageBase* page = Page(code)) page->RefreshPage();
}

void CChildDlg::OnSwitchTimer() {
    switch_timer_.stop();
    RefreshPage(current_);
}

void CChildDlg::OnPeriodicTimer() {
    if (!auto_refresh_ || FollowsItsOwnRun(current_)) return;
    RefreshPage(current_);
}

void CChildDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (const auto& [code, page] : pages_) page->setGeometry(rect());
}

}  // namespace fk
