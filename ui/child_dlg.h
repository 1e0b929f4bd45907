// The page area: owns the eight pages for the whole run, shows one at a time, and
// re-reads the visible page shortly after every switch and then every half minute.
#pragma once

#include <QTimer>
#include <QWidget>
#include <map>

#include "ui/page.h"
#include "ui/page_factory.h"

namespace fk {

class CChildDlg : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSwitchRefreshMs = 100;
    static constexpr int kPeriodicRefreshMs = 30000;

    CChildDlg(const UiContext& context, QWidget* parent = nullptr,
              const PageFactory& factory = CreatePage);

    int CurrentPage() const { return current_; }
    CPageBase* Page(int code) const;
    void SetAutoRefresh(bool on) { auto_refresh_ = on; }

    const QTimer& SwitchTimer() const { return switch_timer_; }
    const QTimer& PeriodicTimer() const { return periodic_timer_; }

  public slots:
    // Shows `code`, hides the others, and refreshes it once a moment later.
    void ShowPage(int code);
    // A pager chose page `index` of the list on page `code`.
    void GoToPage(int code, int index);
    // Asks the page to re-read its list; pages without a list are left alone.
    void RefreshPage(int code);

    void OnSwitchTimer();
    void OnPeriodicTimer();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    std::map<int, CPageBase*> pages_;
    int current_ = PAGE_STATUS;
    bool auto_refresh_ = true;
    QTimer switch_timer_;
    QTimer periodic_timer_;
};

}  // namespace fk
