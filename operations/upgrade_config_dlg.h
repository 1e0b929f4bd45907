// The upgrade window: the model and the firmware file are chosen, the checks refuse
// what cannot be announced, and the upgrade flow runs in the window itself, with the
// file server started and ended as its steps ask. The image is staged and the server
// started on a thread of the window's own while the flow waits, so the window stays
// live meanwhile. Closing the window abandons the upgrade and ends the server.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "app/file_server_control.h"
#include "operations/command_sender.h"
#include "operations/upgrade_flow.h"
#include "ui/flow_driver.h"
#include "ui/page.h"
#include "ui/skin_frame_dlg.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace fk {

// How the window serves the image; tests hand in one that serves nothing.
class IUpgradeServer {
  public:
    virtual ~IUpgradeServer() = default;
    // Called off the UI thread; `stop` is requested when the upgrade is abandoned
    // before the start has returned.
    virtual FileServerStart Start(const std::string& image_path, std::stop_token stop) = 0;
    // Called on the UI thread, never while Start runs.
    virtual void Stop() = 0;
};

// Our FileServer from service/ below the program's folder.
std::unique_ptr<IUpgradeServer> MakeProgramFileServer(std::uint16_t port = 0);

class CUpgradeConfigDlg : public CSkinFrameDlg {
    Q_OBJECT
  public:
    // The open-file dialog; returns the chosen path, or an empty one on Cancel.
    using FileChooser = std::function<QString(QWidget* parent)>;

    CUpgradeConfigDlg(const UiContext& context, CCommandSender& sender,
                      std::vector<ap_select_stu> selection, std::unique_ptr<IUpgradeServer> server,
                      QWidget* parent);
    ~CUpgradeConfigDlg() override;

    void SetFileChooser(FileChooser chooser) { choose_ = std::move(chooser); }
    // Only tests shorten the write phase.
    void SetWriteSeconds(int seconds) { write_seconds_ = seconds; }

    QComboBox* TypeBox() const { return type_box_; }
    QLineEdit* FileEdit() const { return file_edit_; }
    QPushButton* ScanButton() const { return scan_; }
    QPushButton* UpgradeButton() const { return upgrade_; }
    QProgressBar* Progress() const { return progress_; }
    QLabel* ProgressLabel() const { return progress_label_; }
    CFlowDriver& Driver() { return driver_; }
    // The image is being staged and the server started; the flow waits.
    bool Preparing() const { return awaiting_server_; }

    void OnScanClicked();
    void OnUpgradeClicked();
    // While the upgrade runs, the close button ends it (the window closes with its
    // last step); otherwise it ends the server and closes.
    void OnCloseClicked() override;

  signals:
    void statusesChanged(const std::vector<fk::StatusCell>& cells);

  private:
    void OnStep(const FlowStep& step);
    void ShowProgress(const FlowProgress& progress);
    void PrepareServer(const FlowStep& step);
    void OnServerPrepared(const FileServerStart& start);
    // Waits for a start still under way (asking it to give up) before anything else
    // touches the server.
    void StopPreparing();
    void EndServer();

    const UiContext& context_;
    std::vector<ap_select_stu> selection_;
    std::unique_ptr<IUpgradeServer> server_;
    CFlowDriver driver_;
    FileChooser choose_;
    int write_seconds_ = CUpgradeFlow::kWriteSeconds;
    UpgradeFile file_;
    bool serving_ = false;
    bool ended_ = false;
    bool awaiting_server_ = false;
    std::optional<FlowProgress> resume_progress_;  // what the start step showed
    QComboBox* type_box_ = nullptr;
    QLineEdit* file_edit_ = nullptr;
    QPushButton* scan_ = nullptr;
    QPushButton* upgrade_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progress_label_ = nullptr;
    // Last, so it is joined before anything it uses goes away.
    std::jthread preparing_;
};

}  // namespace fk
