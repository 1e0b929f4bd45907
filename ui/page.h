// What the page container knows of a page: its code, how to re-read its list, how to
// jump to a page number chosen in its pager, and when it must not be interrupted.
#pragma once

#include <QWidget>

#include "ui/page_codes.h"

namespace fk {

class IDeviceLink;
class IOperationStore;
class IPrompter;

// Everything a page or window needs from the rest of the program, handed down by
// the main window so tests can substitute a recorder and a temporary store.
struct UiContext {
    IDeviceLink& link;
    IOperationStore& store;
    IPrompter& prompter;
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
