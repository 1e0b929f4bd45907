// The wizard's first step: the site survey of the device being bridged and the
// access points it heard, one of which the user marks.
#pragma once

#include <QWidget>
#include <string>

#include "operations/survey_list.h"
#include "ui/flow_driver.h"
#include "ui/page.h"

class QLabel;
class QMovie;
class QTableWidget;

namespace fk {

class CImageButton;

class CBridgeSearcgAPDlg : public QWidget {
    Q_OBJECT
  public:
    // `sender` carries the survey request; the bridge page owns it, so one request at
    // most is on its way whichever wizard sent it.
    CBridgeSearcgAPDlg(const UiContext& context, std::string ip, std::string mac,
                       CCommandSender& sender, QWidget* parent);

    // Empties the list and asks the device for a new survey.
    void StartScan();
    // Ends a running survey without filling the list: the wizard is closing.
    void StopScan();
    bool Scanning() const { return scanning_; }
    // The MAC text of the marked row; empty when none is marked.
    std::string MarkedMac() const;

    QTableWidget* Grid() const { return grid_; }
    CImageButton* RescanButton() const { return rescan_; }
    QLabel* ScanningLabel() const { return scanning_label_; }
    QLabel* BusyPicture() const { return busy_; }
    const CSurveyListState& State() const { return state_; }
    // One survey tick now; tests step the survey without waiting.
    void TickNow() { driver_.TickNow(); }

  signals:
    void markedChanged(bool marked);

  private:
    void OnStep(const FlowStep& step);
    void OnHeaderClicked(int column);
    void OnCellClicked(int row, int column);
    void Fill();
    void ShowMarks();
    void SetScanning(bool scanning);

    const UiContext& context_;
    const std::string ip_;
    const std::string mac_;
    CCommandSender& sender_;
    CFlowDriver driver_;
    CSurveyListState state_;
    std::vector<SurveyRow> rows_;
    bool scanning_ = false;
    QTableWidget* grid_ = nullptr;
    CImageButton* rescan_ = nullptr;
    QLabel* busy_ = nullptr;
    QMovie* busy_movie_ = nullptr;
    QLabel* scanning_label_ = nullptr;
};

}  // namespace fk
