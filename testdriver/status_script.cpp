#include "testdriver/status_script.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "operations/bridge_config_dlg.h"
#include "operations/bridge_page.h"
#include "operations/bridge_search_ap_dlg.h"
#include "operations/bridge_steps_dlg.h"
#include "operations/site_report_pdf.h"
#include "operations/status_page.h"
#include "testdriver/list_page_steps.h"
#include "testdriver/management_steps.h"
#include "ui/application_dlg.h"
#include "ui/device_grid.h"
#include "ui/image_button.h"

namespace fk::testdriver {

namespace {

constexpr int kPollMs = 100;
constexpr int kReportPictureWidth = 1400;

// The first page as the PDF lays it out: the document is laid out for a PDF writer of
// the same page, then drawn scaled into a picture.
QImage FirstReportPage(const SiteReport& report) {
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    QPdfWriter writer(&sink);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    const auto document = SiteReportDocument(report);
    document->documentLayout()->setPaintDevice(&writer);
    const QSizeF page = writer.pageLayout().paintRectPixels(writer.resolution()).size();
    document->setPageSize(page);
    const qreal scale = kReportPictureWidth / page.width();
    QImage image(kReportPictureWidth, qRound(page.height() * scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    document->drawContents(&painter, QRectF(QPointF(0, 0), page));
    return image;
}

class CStatusScript : public QObject {
  public:
    CStatusScript(CApplicationDlg& window, CStatusDlg& page, CBridgeDlg* bridge, QStringList lines)
        : QObject(&window),
          window_(window),
          page_(page),
          bridge_(bridge),
          lines_(std::move(lines)) {
        timer_.setInterval(kPollMs);
        connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
    }
    void Begin() {
        QTimer::singleShot(0, this, [this] { Next(); });
    }

  private:
    static void Log(const QString& text) {
        std::fprintf(stderr, "[script] %s\n", qPrintable(text));
    }

    int StoredRows() const {
        int n = 0;
        for (const ListRow& row : page_.Rows()) n += row.announced ? 0 : 1;
        return n;
    }

    void Fail(const QString& why) {
        Log("FAIL " + why);
        timer_.stop();
        failed_ = true;
    }

    void Next() {
        if (failed_) return;
        while (index_ < lines_.size()) {
            const QString line = lines_[index_++].trimmed();
            if (line.isEmpty() || line.startsWith('#')) continue;
            Log(line);
            if (!Run(line.split(' ', Qt::SkipEmptyParts))) return;
        }
    }

    // True when the step is done at once; false when it waits or failed.
    bool Run(const QStringList& words) {
        const QString& verb = words[0];
        if (verb == "search") {
            page_.SearchButton()->click();
        } else if (verb == "wait-rows" && words.size() == 3) {
            const int want = words[1].toInt();
            return Wait(words[2].toInt(), [this, want] {
                // The list of a running search follows every third second; a stopped
                // page is re-read here so devices reported since show up.
                if (!page_.Searching()) page_.RefreshPage();
                return StoredRows() >= want;
            });
        } else if (verb == "wait-idle" && words.size() == 2) {
            return Wait(words[1].toInt(), [this] { return !page_.Searching(); });
        } else if (verb == "wait-senders" && words.size() == 2) {
            return Wait(words[1].toInt(), [this] { return !page_.SendersBusy(); });
        } else if (verb == "rename" && words.size() >= 3) {
            return Rename(words[1], words.mid(2).join(' '));
        } else if (verb == "dump" && words.size() == 2) {
            Dump(words[1]);
        } else if (verb == "screenshot" && words.size() == 2) {
            if (!window_.grab().save(words[1])) Fail("cannot write " + words[1]);
        } else if (verb == "tick-all") {
            emit page_.Grid()->tickHeaderClicked();
        } else if (verb == "set-ip-screenshot" && words.size() == 2) {
            ShootSetIpWindow(words[1]);
        } else if (verb == "site-report" && words.size() == 3) {
            ShootSiteReport(words[1], words[2]);
        } else if (verb == "wait-window" && words.size() == 2) {
            return Wait(words[1].toInt(), [] { return ManagementWindowOpen(); });
        } else if (verb == "wait-closed" && words.size() == 2) {
            return Wait(words[1].toInt(), [this] { return !WindowOverMainOpen(window_); });
        } else if (verb == "page" && words.size() == 2) {
            window_.SelectPage(words[1].toInt());
        } else if (verb.startsWith("bridge-")) {
            return RunBridge(words);
        } else if (verb == "quit") {
            window_.done(QDialog::Accepted);
            return false;
        } else {
            return RunOtherStep(words);
        }
        return !failed_;
    }

    // Steps of the management window first, then those of the other list pages.
    bool RunOtherStep(const QStringList& words) {
        QString error;
        switch (RunManagementStep(window_, words, error)) {
            case StepResult::Done:
                return true;
            case StepResult::Later:
                QTimer::singleShot(0, this, [this] { Next(); });
                return false;
            case StepResult::Failed:
                Fail(error);
                return false;
            case StepResult::NotMine:
                break;
        }
        const ScriptStep step = RunListPageStep(window_, words);
        switch (step.kind) {
            case ScriptStep::Kind::Done:
                return true;
            case ScriptStep::Kind::Wait:
                return Wait(step.seconds, step.until);
            case ScriptStep::Kind::Failed:
                Fail(step.failure);
                return false;
            case ScriptStep::Kind::Unknown:
                break;
        }
        Fail("unknown step: " + words.join(' '));
        return false;
    }

    bool Wait(int seconds, std::function<bool()> done) {
        if (done()) return true;
        deadline_ = QDeadlineTimer(seconds * 1000);
        condition_ = std::move(done);
        timer_.start();
        return false;
    }

    void Poll() {
        if (condition_()) {
            timer_.stop();
            Next();
        } else if (deadline_.hasExpired()) {
            Fail(QStringLiteral("deadline of line %1 passed with %2 reported devices")
                     .arg(index_)
                     .arg(StoredRows()));
        }
    }

    bool Rename(const QString& mac, const QString& name) {
        CDeviceGrid& grid = *page_.Grid();
        const int mac_column = ColumnIndex(PAGE_STATUS, ListColumn::Mac);
        int row = -1;
        for (int r = 0; r < grid.rowCount() && row < 0; ++r)
            if (QString::fromStdString(grid.CellText(r, mac_column)) == mac) row = r;
        if (row < 0 || !grid.BeginEdit(row)) {
            Fail("no editable row for " + mac);
            return false;
        }
        auto* editor = grid.viewport()->findChild<QLineEdit*>();
        if (!editor) {
            Fail("no editor opened for " + mac);
            return false;
        }
        editor->setText(name);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &press);
        // The view commits from its event queue; carry on after it.
        QTimer::singleShot(0, this, [this] { Next(); });
        return false;
    }

    // Opens the batch address window for the ticked rows, grabs it and closes it
    // without saving.
    void ShootSiteReport(const QString& pdf, const QString& png) {
        page_.SetSavePathChooser([pdf](const SaveRequest&) { return pdf.toStdString(); });
        page_.SiteReportButton()->click();
        if (QFileInfo(pdf).size() == 0) return Fail("no site report in " + pdf);
        if (!FirstReportPage(page_.MakeSiteReport()).save(png)) Fail("cannot write " + png);
    }

    void ShootSetIpWindow(const QString& path) {
        bool shot = false;
        page_.SetDialogRunner([&](QDialog& dialog) {
            dialog.show();
            QCoreApplication::processEvents();
            shot = dialog.grab().save(path);
            dialog.reject();
            return false;
        });
        page_.SetIpButton()->click();
        page_.SetDialogRunner([](QDialog& dialog) { return dialog.exec() == QDialog::Accepted; });
        if (!shot) Fail("no batch address window to grab into " + path);
    }

    // The wizard of the last "Operate" click while it is on screen.
    CBridgeConfigDlg* Wizard() const {
        CBridgeConfigDlg* wizard = bridge_ ? bridge_->LastWizard() : nullptr;
        return wizard && wizard->isVisible() ? wizard : nullptr;
    }

    bool RunBridge(const QStringList& words) {
        const QString& verb = words[0];
        if (!bridge_) {
            Fail("no bridge page for " + verb);
            return false;
        }
        if (verb == "bridge-open" && words.size() == 2) return OpenWizard(words[1]);
        if ((verb == "bridge-wait-status" || verb == "bridge-wait-mode") && words.size() >= 4) {
            const QString mac = words[2];
            const QString text = words.mid(3).join(' ');
            const ListColumn column =
                verb == "bridge-wait-status" ? ListColumn::Status : ListColumn::OperationMode;
            return Wait(words[1].toInt(), [this, mac, text, column] {
                bridge_->RefreshPage();
                return BridgeCell(mac, column) == text;
            });
        }
        CBridgeConfigDlg* wizard = Wizard();
        if (!wizard) {
            Fail("no bridge wizard open for " + verb);
            return false;
        }
        if (verb == "bridge-wait-survey" && words.size() == 2) {
            return Wait(words[1].toInt(), [this] {
                CBridgeConfigDlg* w = Wizard();
                return w && !w->SurveyPanel()->Scanning();
            });
        } else if (verb == "bridge-pick" && words.size() == 2) {
            return Pick(*wizard, words[1]);
        } else if (verb == "bridge-security" && words.size() >= 3) {
            ChooseSecurity(*wizard, words);
        } else if (verb == "bridge-next") {
            const int before = wizard->CurrentStep();
            wizard->NextButton()->click();
            // Save closes the window; every other step must move on.
            if (before != CBridgeConfigDlg::kStepFinish && wizard->CurrentStep() == before)
                Fail(QStringLiteral("the wizard stayed on step %1").arg(before));
        } else if (verb == "bridge-shot" && words.size() == 2) {
            QCoreApplication::processEvents();
            if (!wizard->grab().save(words[1])) Fail("cannot write " + words[1]);
        } else if (verb == "bridge-close") {
            wizard->CloseButton()->click();
        } else {
            Fail("unknown step: " + words.join(' '));
            return false;
        }
        return !failed_;
    }

    QString BridgeCell(const QString& mac, ListColumn column) const {
        const CDeviceGrid& grid = *bridge_->Grid();
        const int mac_column = ColumnIndex(PAGE_BRIDGE, ListColumn::Mac);
        for (int r = 0; r < grid.rowCount(); ++r) {
            if (QString::fromStdString(grid.CellText(r, mac_column)) == mac)
                return QString::fromStdString(grid.CellText(r, ColumnIndex(PAGE_BRIDGE, column)));
        }
        return {};
    }

    // The wizard runs modally; its loop keeps this script's timers going, so the
    // click is posted and the script waits for the window to appear.
    bool OpenWizard(const QString& mac) {
        bridge_->RefreshPage();
        const CDeviceGrid& grid = *bridge_->Grid();
        const int mac_column = ColumnIndex(PAGE_BRIDGE, ListColumn::Mac);
        int row = -1;
        for (int r = 0; r < grid.rowCount() && row < 0; ++r)
            if (QString::fromStdString(grid.CellText(r, mac_column)) == mac) row = r;
        if (row < 0) {
            Fail("no bridge page row for " + mac);
            return false;
        }
        QTimer::singleShot(0, bridge_, [this, row] { bridge_->OnOperateClicked(row); });
        return Wait(5, [this] { return Wizard() != nullptr; });
    }

    bool Pick(CBridgeConfigDlg& wizard, const QString& ap_mac) {
        QTableWidget& grid = *wizard.SurveyPanel()->Grid();
        for (int r = 0; r < grid.rowCount(); ++r) {
            if (grid.item(r, kSurveyMac) && grid.item(r, kSurveyMac)->text() == ap_mac) {
                emit grid.cellClicked(r, kSurveySelect);
                return true;
            }
        }
        Fail("the survey did not list " + ap_mac);
        return false;
    }

    void ChooseSecurity(CBridgeConfigDlg& wizard, const QStringList& words) {
        CBridgeSecureDlg& step = *wizard.SecurityPanel();
        const QString entry = words[1] == "Mixed" ? QStringLiteral("Mixed WPA/WPA2-PSK") : words[1];
        int code = -1;
        for (const BridgeSecurityEntry& e : BridgeSecurityEntries())
            if (entry == QLatin1String(e.key)) code = e.code;
        const int index = step.SecurityBox()->findData(code);
        if (index < 0) return Fail("no security entry " + words[1]);
        step.SecurityBox()->setCurrentIndex(index);
        const QStringList ciphers = {"AES", "TKIP", "TKIP&AES"};
        const int cipher = static_cast<int>(ciphers.indexOf(words[2]));
        if (cipher >= 0) step.CipherButton(cipher)->setChecked(true);
        if (words.size() >= 4) step.KeyField()->setText(words.mid(3).join(' '));
    }

    void Dump(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            Fail("cannot write " + path);
            return;
        }
        QTextStream out(&file);
        const CDeviceGrid& grid = *page_.Grid();
        for (int r = 0; r < grid.rowCount(); ++r) {
            if (grid.IsOfflineRow(r)) continue;
            const auto cell = [&](ListColumn c) {
                return QString::fromStdString(grid.CellText(r, ColumnIndex(PAGE_STATUS, c)));
            };
            out << cell(ListColumn::Mac) << '\t' << cell(ListColumn::Ip) << '\t'
                << cell(ListColumn::Location) << '\n';
        }
    }

    CApplicationDlg& window_;
    CStatusDlg& page_;
    CBridgeDlg* bridge_;
    QStringList lines_;
    qsizetype index_ = 0;
    QTimer timer_;
    QDeadlineTimer deadline_;
    std::function<bool()> condition_;
    bool failed_ = false;
};

}  // namespace

bool RunStatusScript(CApplicationDlg& window, CStatusDlg& page, CBridgeDlg* bridge,
                     const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    (new CStatusScript(window, page, bridge, lines))->Begin();
    return true;
}

}  // namespace fk::testdriver
