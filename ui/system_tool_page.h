// The PC's own network adapters as the engine sees them, so an installer can tell
// whether the PC has an address in the radios' subnet, and behind "Diagnose" the
// checks of `fieldkit-cli doctor` as a list with their fixes. It only reads.
#pragma once

#include <QTimer>
#include <array>
#include <string>
#include <vector>

#include "operations/diagnosis.h"
#include "protocol/adapter_source.h"
#include "ui/page.h"

namespace fk {

class CDeviceGrid;
class CImageButton;
class CPager;
class CSkinStatic;

// The four cells of one adapter row: position from 1, description, MAC, addresses
// joined by "--".
std::array<std::string, 4> AdapterRowCells(std::size_t position, const adapter_info_stu& adapter);
// One row of the diagnose list: check, status, finding, fix; a line that stands
// between the PC and a radio is marked with its fix.
struct GridRow;
GridRow DiagnosisRow(const DiagnosisLine& line);

class CSystemToolDlg : public CPageBase {
    Q_OBJECT
  public:
    static constexpr int kRefreshMs = 5000;
    // The search that precedes the radio check, as long as the radios take to answer.
    static constexpr int kDiagnoseSearchMs = 3000;

    CSystemToolDlg(const UiContext& context, QWidget* parent = nullptr);

    int PageCode() const override { return PAGE_SYSTEM_TOOL; }

    CDeviceGrid* Grid() const { return grid_; }
    CSkinStatic* CountLabel() const { return count_; }
    CImageButton* DiagnoseButton() const { return diagnose_button_; }
    CDeviceGrid* DiagnosisGrid() const { return diagnosis_; }
    const std::vector<DiagnosisLine>& DiagnosisLines() const { return lines_; }
    QTimer& RefreshTimer() { return timer_; }
    const std::vector<adapter_info_stu>& Adapters() const { return adapters_; }

  public slots:
    // Takes a fresh adapter list from the engine and rebuilds the grid and the count.
    void RefreshAdapters();
    // Searches, then after kDiagnoseSearchMs runs the checks and shows their list.
    void StartDiagnosis();
    // Runs the checks on what the engine has heard so far and shows their list.
    void ShowDiagnosis();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ApplyColumnWidths();
    void LayOut();

    const UiContext& context_;
    CDeviceGrid* grid_ = nullptr;
    CPager* pager_ = nullptr;
    CSkinStatic* count_ = nullptr;
    CImageButton* diagnose_button_ = nullptr;
    CDeviceGrid* diagnosis_ = nullptr;
    std::vector<adapter_info_stu> adapters_;
    std::vector<DiagnosisLine> lines_;
    QTimer timer_;
};

}  // namespace fk
