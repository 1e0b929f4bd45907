// What the page container knows of a page: its code, how to re-read its list, how to
// jump to a page number chosen in its pager, and when it must not be interrupted.
#pragma once

#include <QWidget>

namespace fk {

class IDeviceLink;
class CSqlManagement;
class IPrompter;

// Everything a page or window needs from the rest of the program, handed down by
// the main window so tests can substitute a recorder and a temporary store.
struct UiContext {
    IDeviceLink& link;
    CSqlManagement& store;
    IPrompter& prompter;
};

enum PageCode : int {
    PAGE_STATUS = 133,
    PAGE_MANAGEMENT = 134,
    PAGE_BRIDGE = 135,
    PAGE_REBOOT = 136,
    PAGE_UPGRADE = 137,
    PAGE_RESTORE = 138,
    PAGE_INSTALL_HELP = 139,
    PAGE_SYSTEM_TOOL = 155,
};

class CPageBase : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    virtual int PageCode() const = 0;
    // Re-reads the page's list from the store; pages without a list do nothing.
    virtual void RefreshPage() {}
    // The pager asked for page `index` (from 1).
    virtual void GoToPage(int index) { (void)index; }

  signals:
    // The page runs something the rest of the window must not interrupt: the
    // navigation and the container's periodic refresh pause until it ends.
    void busyChanged(bool busy);
};

}  // namespace fk
