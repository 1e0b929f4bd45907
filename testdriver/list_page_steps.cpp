#include "testdriver/list_page_steps.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QTextStream>
#include <QTimer>

#include <QComboBox>
#include <QPushButton>

#include <QLabel>

#include "app/language.h"
#include "operations/reboot_page.h"
#include "operations/upgrade_config_dlg.h"
#include "ui/application_dlg.h"
#include "ui/child_dlg.h"
#include "ui/device_grid.h"
#include "ui/wait_dlg.h"

namespace fk::testdriver {
namespace {

constexpr int kAnswerPollMs = 50;
constexpr int kAnswerWithinMs = 10000;

ScriptStep Done() {
    ScriptStep step;
    step.kind = ScriptStep::Kind::Done;
    return step;
}

ScriptStep Failed(const QString& why) {
    ScriptStep step;
    step.kind = ScriptStep::Kind::Failed;
    step.failure = why;
    return step;
}

ScriptStep WaitFor(int seconds, std::function<bool()> until) {
    ScriptStep step;
    step.kind = ScriptStep::Kind::Wait;
    step.seconds = seconds;
    step.until = std::move(until);
    return step;
}

CDeviceListPage* ShownListPage(CApplicationDlg& window) {
    return qobject_cast<CDeviceListPage*>(window.Pages()->Page(window.Pages()->CurrentPage()));
}

int RowOf(const CDeviceListPage& page, const QString& mac) {
    const CDeviceGrid& grid = *page.Grid();
    const int column = ColumnIndex(page.PageCode(), ListColumn::Mac);
    for (int r = 0; r < grid.rowCount(); ++r)
        if (QString::fromStdString(grid.CellText(r, column)) == mac) return r;
    return -1;
}

int ColumnOf(const CDeviceGrid& grid, const QString& header) {
    for (int c = 0; c < grid.columnCount(); ++c)
        if (grid.horizontalHeaderItem(c) && grid.horizontalHeaderItem(c)->text() == header)
            return c;
    return -1;
}

// A question box is modal and runs its own event loop; a timer of the main window's
// still fires inside it and gives the answer.
void AnswerNextQuestion(CApplicationDlg& window, bool ok) {
    auto* timer = new QTimer(&window);
    const QDeadlineTimer deadline(kAnswerWithinMs);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ok, deadline] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QAbstractButton* button =
            box ? box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel) : nullptr;
        if (button) button->click();
        if (button || deadline.hasExpired()) timer->deleteLater();
    });
    timer->start(kAnswerPollMs);
}

bool DumpPage(const CDeviceListPage& page, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QTextStream out(&file);
    const CDeviceGrid& grid = *page.Grid();
    for (int c = 0; c < grid.columnCount(); ++c)
        out << (c ? "\t" : "")
            << (grid.horizontalHeaderItem(c) ? grid.horizontalHeaderItem(c)->text() : "");
    out << '\n';
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.columnCount(); ++c)
            out << (c ? "\t" : "") << QString::fromStdString(grid.CellText(r, c));
        out << '\n';
    }
    return true;
}

// The wait window is a window of its own; drawn over the main window where it stands,
// the picture shows what the user sees.
bool ShootWithWindows(CApplicationDlg& window, const QString& path) {
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == &window || !top->isVisible() || !qobject_cast<QDialog*>(top)) continue;
        painter.drawPixmap(top->geometry().topLeft() - window.geometry().topLeft(), top->grab());
    }
    painter.end();
    return picture.save(path);
}

CUpgradeConfigDlg* OpenUpgradeWindow() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<CUpgradeConfigDlg*>(top); window && window->isVisible())
            return window;
    return nullptr;
}

}  // namespace

ScriptStep RunListPageStep(CApplicationDlg& window, const QStringList& words) {
    const QString& verb = words[0];
    if (verb == "show-page" && words.size() == 2) {
        window.SelectPage(words[1].toInt());
        CDeviceListPage* shown = ShownListPage(window);
        if (!shown || shown->PageCode() != words[1].toInt())
            return Failed("no list page " + words[1]);
        // Ticks set before the page's own refresh after the switch would be cleared by it.
        const CChildDlg* pages = window.Pages();
        return WaitFor(5, [pages] { return !pages->SwitchTimer().isActive(); });
    }
    CDeviceListPage* page = ShownListPage(window);
    if (verb == "screenshot-all" && words.size() == 2) {
        return ShootWithWindows(window, words[1]) ? Done() : Failed("cannot write " + words[1]);
    }
    if (verb == "upgrade-choose" && words.size() >= 2) {
        CUpgradeConfigDlg* upgrade = OpenUpgradeWindow();
        if (!upgrade) return Failed("no upgrade window");
        const QString path = words[1];
        upgrade->SetFileChooser([path](QWidget*) { return path; });
        upgrade->ScanButton()->click();
        if (words.size() >= 3) {
            const int index = upgrade->TypeBox()->findText(words[2]);
            if (index < 0) return Failed("no type " + words[2]);
            upgrade->TypeBox()->setCurrentIndex(index);
        }
        return Done();
    }
    if (verb == "upgrade-start" && words.size() == 1) {
        CUpgradeConfigDlg* upgrade = OpenUpgradeWindow();
        if (!upgrade) return Failed("no upgrade window");
        // Later: the question box it asks runs its own loop.
        QTimer::singleShot(0, upgrade->UpgradeButton(), &QAbstractButton::click);
        return Done();
    }
    if (verb == "wait-upgrade-window" && words.size() == 2) {
        return WaitFor(words[1].toInt(), [] { return OpenUpgradeWindow() != nullptr; });
    }
    if (verb == "wait-upgrade-phase" && words.size() == 3) {
        const QString label = QString::fromStdString(
            Translate(words[1] == "write" ? "Firmware upgrading progress"
                                          : "Upgrade file transfer progress"));
        return WaitFor(words[2].toInt(), [label] {
            CUpgradeConfigDlg* upgrade = OpenUpgradeWindow();
            return upgrade && upgrade->ProgressLabel()->text() == label;
        });
    }
    if (verb == "wait-upgrade-closed" && words.size() == 2) {
        return WaitFor(words[1].toInt(), [] { return OpenUpgradeWindow() == nullptr; });
    }
    if (verb == "answer-next" && words.size() == 2) {
        AnswerNextQuestion(window, words[1] == "ok");
        return Done();
    }
    const bool known = verb == "tick" || verb == "press" || verb == "wait-cell" ||
                       verb == "wait-batch" || verb == "wait-progress" || verb == "scroll-to" ||
                       verb == "dump-page";
    if (!known) return {};
    if (!page) return Failed("the page shown has no list");
    if (verb == "tick" && words.size() == 2) {
        const int row = RowOf(*page, words[1]);
        if (row < 0) return Failed("no row for " + words[1]);
        page->Grid()->SetTicked(row, true);
        return Done();
    }
    if (verb == "press" && words.size() >= 2) {
        const QString caption = words.mid(1).join(' ');
        for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || button->text() != caption) continue;
            // Later: the modal windows it opens run their own loops, and the script's
            // next steps run inside them.
            QTimer::singleShot(0, button, &QAbstractButton::click);
            return Done();
        }
        return Failed("no button " + caption);
    }
    if (verb == "wait-cell" && words.size() >= 5) {
        const QString mac = words[1];
        const QString header = words[2];
        const QString text = words.mid(3, words.size() - 4).join(' ');
        return WaitFor(words.last().toInt(), [page, mac, header, text] {
            const int row = RowOf(*page, mac);
            const int column = ColumnOf(*page->Grid(), header);
            return row >= 0 && column >= 0 &&
                   QString::fromStdString(page->Grid()->CellText(row, column)) == text;
        });
    }
    if (verb == "wait-batch" && words.size() == 2) {
        auto* batch_page = qobject_cast<CRebootPageBase*>(page);
        if (!batch_page) return Failed("the page shown runs no batch");
        return WaitFor(words[1].toInt(), [batch_page] {
            return batch_page->WaitWindow() && !batch_page->BatchRunning() &&
                   !batch_page->WaitWindow()->isVisible();
        });
    }
    if (verb == "wait-progress" && words.size() == 3) {
        auto* batch_page = qobject_cast<CRebootPageBase*>(page);
        if (!batch_page) return Failed("the page shown runs no batch");
        const int position = words[1].toInt();
        return WaitFor(words[2].toInt(), [batch_page, position] {
            return batch_page->WaitWindow() &&
                   batch_page->WaitWindow()->Progress()->value() >= position;
        });
    }
    if (verb == "scroll-to" && words.size() >= 2) {
        const int column = ColumnOf(*page->Grid(), words.mid(1).join(' '));
        if (column < 0 || page->Grid()->rowCount() == 0) return Failed("no column " + words[1]);
        page->Grid()->scrollToItem(page->Grid()->item(0, column));
        return Done();
    }
    if (verb == "dump-page" && words.size() == 2) {
        return DumpPage(*page, words[1]) ? Done() : Failed("cannot write " + words[1]);
    }
    return {};
}

}  // namespace fk::testdriver
