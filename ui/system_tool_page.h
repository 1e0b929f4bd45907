// The PC's own network adapters as the engine sees them, so an installer can tell
// whether the PC has an address in the radios' subnet. It only reads.
#pragma once

#include <QTimer>
#include <array>
#include <string>
#include <vector>

#include "protocol/adapter_source.h"
#include "ui/page.h"

namespace fk {

class CDeviceGrid;
class CPager;
class CSkinStatic;

// The four cells of one adapter row: position from 1, description, MAC, addresses
// joined by "--".
std::array<std::string, 4> AdapterRowCells(std::size_t position, const adapter_info_stu& adapter);

class CSystemToolDlg : public CPageBase {
    Q_OBJECT
  public:
    static constexpr int kRefreshMs = 5000;

    CSystemToolDlg(const UiContext& context, QWidget* parent = nullptr);

    int PageCode() const override { return PAGE_SYSTEM_TOOL; }

    CDeviceGrid* Grid() const { return grid_; }
    CSkinStatic* CountLabel() const { return count_; }
    QTimer& RefreshTimer() { return timer_; }
    const std::vector<adapter_info_stu>& Adapters() const { return adapters_; }

  public slots:
    // Takes a fresh adapter list from the engine and rebuilds the grid and the count.
    void RefreshAdapters();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ApplyColumnWidths();

    const UiContext& context_;
    CDeviceGrid* grid_ = nullptr;
    CPager* pager_ = nullptr;
    CSkinStatic* count_ = nullptr;
    std::vector<adapter_info_stu> adapters_;
    QTimer timer_;
};

}  // namespace fk
