// The list out of the program, through the pages themselves: the export file holds
// every row the search selects (not only the page shown) under the captions the grid
// shows, copy puts the chosen rows on the clipboard, and the status page prints the
// site report.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include "app/language.h"
#include "app/program_dir.h"
#include "operations/site_report_pdf.h"
#include "operations/status_page.h"
#include "support/device_rows.h"
#include "support/ui_context.h"
#include "ui/image_button.h"
#include "ui/page_factory.h"
#include "ui/pager.h"

using namespace fk;

namespace {

constexpr int kMac = 5;
constexpr int kOperate = 13;

// Answers the save dialog with a file in a scratch folder, or with `answer` as given.
struct SaveAnswer {
    QTemporaryDir dir;
    QString answer = dir.filePath(QStringLiteral("out"));
    int asked = 0;
    SavePathChooser Chooser() {
        return [this](const SaveRequest&) {
            ++asked;
            return answer.toStdString();
        };
    }
    QByteArray Written() const {
        QFile file(answer);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

QStringList Lines(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

std::unique_ptr<CDeviceListPage> OpenPage(int code, const UiContext& context) {
    std::unique_ptr<CPageBase> page(CreatePage(code, context, nullptr));
    auto* list = qobject_cast<CDeviceListPage*>(page.get());
    if (!list) return nullptr;
    page.release();
    list->resize(1600, 900);
    list->show();
    list->RefreshPage();
    return std::unique_ptr<CDeviceListPage>(list);
}

void UseLanguage(std::uint32_t locale) {
    COperateLanguage::Instance().Init(ProgramDirectory(), locale);
}

// The MAC cell of every line after the header.
QStringList MacsOf(const QStringList& csv_lines) {
    QStringList macs;
    for (qsizetype i = 1; i < csv_lines.size(); ++i)
        macs << csv_lines[i].split(QLatin1Char(',')).value(kMac - 1);
    return macs;
}

// FillStore names device i "dev<i>" and gives it TestMac(i + 1).
QStringList MacsOfDevices(const std::vector<int>& indexes) {
    QStringList macs;
    for (int i : indexes) macs << QString::fromStdString(test::TestMac(i + 1));
    return macs;
}

void CtrlClickRow(CDeviceGrid& grid, int row) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      grid.visualItemRect(grid.item(row, kMac)).center());
}

}  // namespace

class ListExportTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { UseLanguage(1033); }

    void exportWritesEveryMatchingRowUnderTheShownCaptions_data() {
        QTest::addColumn<quint32>("locale");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QStringList>("macs");
        const QString english = QStringLiteral(
            "No.,Location,Type,IP,MAC,Operating mode,SSID,Channel,Version,Transparent "
            "bridge,Slotra,Uptime");
        const QString chinese = QStringLiteral(
            "序号,位置,型号,IP,MAC,工作模式,SSID,信道,版本,透明网桥,Slotra,运行时间");
        std::vector<int> all(40);
        for (int i = 0; i < 40; ++i) all[static_cast<std::size_t>(i)] = 39 - i;  // address, down
        QTest::newRow("English, every row") << quint32{1033} << "" << english << MacsOfDevices(all);
        QTest::newRow("Chinese, every row") << quint32{2052} << "" << chinese << MacsOfDevices(all);
        QTest::newRow("English, searched")
            << quint32{1033} << "dev1" << english
            << MacsOfDevices({19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 1});
    }

    void exportWritesEveryMatchingRowUnderTheShownCaptions() {
        QFETCH(quint32, locale);
        QFETCH(QString, search);
        QFETCH(QString, header);
        QFETCH(QStringList, macs);
        UseLanguage(locale);
        test::TestUiContext ui;
        test::FillStore(*ui.store, 40);
        auto page = OpenPage(PAGE_STATUS, ui.context);
        page->PageSizeBox()->setCurrentIndex(page->PageSizeBox()->findText("15"));
        QTest::keyClicks(page->SearchBox(), search);
        page->GoToPage(page->Pager()->Count());
        // The pager shows the last page of fifteen rows; the file holds them all.
        if (search.isEmpty()) QVERIFY(page->Grid()->rowCount() < macs.size());

        SaveAnswer save;
        page->SetSavePathChooser(save.Chooser());
        page->ExportButton()->click();
        QCOMPARE(save.asked, 1);
        const QStringList lines = Lines(save.Written());
        QCOMPARE(lines.value(0), header);
        QCOMPARE(MacsOf(lines), macs);
        // The captions are the grid's own, without the tick and link columns.
        QStringList shown;
        for (int c = 1; c < kOperate; ++c) shown << page->Grid()->horizontalHeaderItem(c)->text();
        QCOMPARE(shown.join(QLatin1Char(',')), header);
    }

    void everyListPageExportsFromItsButtonAndItsMenu_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("columns");
        QTest::newRow("status") << int{PAGE_STATUS} << 12;
        QTest::newRow("management") << int{PAGE_MANAGEMENT} << 10;
        QTest::newRow("bridge") << int{PAGE_BRIDGE} << 10;
        QTest::newRow("reboot") << int{PAGE_REBOOT} << 10;
        QTest::newRow("upgrade") << int{PAGE_UPGRADE} << 9;
        QTest::newRow("restore") << int{PAGE_RESTORE} << 11;
    }

    void everyListPageExportsFromItsButtonAndItsMenu() {
        QFETCH(int, code);
        QFETCH(int, columns);
        test::TestUiContext ui;
        test::FillStore(*ui.store, 3);
        auto page = OpenPage(code, ui.context);
        QVERIFY(page);
        QVERIFY(page->ExportButton()->isVisible());
        QVERIFY(page->Grid()->actions().contains(page->ExportAction()));
        QVERIFY(page->Grid()->actions().contains(page->CopyAction()));
        QCOMPARE(page->CopyAction()->shortcut(), QKeySequence(QKeySequence::Copy));

        SaveAnswer save;
        page->SetSavePathChooser(save.Chooser());
        for (auto trigger : {std::function<void()>([&] { page->ExportButton()->click(); }),
                             std::function<void()>([&] { page->ExportAction()->trigger(); })}) {
            QFile::remove(save.answer);
            trigger();
            const QStringList lines = Lines(save.Written());
            QCOMPARE(lines.size(), 4);
            for (const QString& line : lines) QCOMPARE(line.count(QLatin1Char(',')), columns - 1);
        }
        QCOMPARE(save.asked, 2);
    }

    void copyPutsTheChosenRowsOnTheClipboard_data() {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QList<int>>("copied");
        QTest::newRow("rows selected with Ctrl")
            << QList<int>{3, 0} << QList<int>{1} << QList<int>{0, 3};
        QTest::newRow("the ticked rows where none is selected")
            << QList<int>{} << QList<int>{1, 2} << QList<int>{1, 2};
        QTest::newRow("nothing chosen leaves the clipboard")
            << QList<int>{} << QList<int>{} << QList<int>{};
    }

    void copyPutsTheChosenRowsOnTheClipboard() {
        QFETCH(QList<int>, selected);
        QFETCH(QList<int>, ticked);
        QFETCH(QList<int>, copied);
        test::TestUiContext ui;
        test::FillStore(*ui.store, 4);
        auto page = OpenPage(PAGE_STATUS, ui.context);
        CDeviceGrid& grid = *page->Grid();
        grid.setFocus();
        for (int row : ticked) grid.SetTicked(row, true);
        for (int row : selected) CtrlClickRow(grid, row);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));

        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);

        QString expected;
        for (int row : copied) {
            QStringList cells;
            for (int c = 1; c < kOperate; ++c)
                cells << QString::fromStdString(grid.CellText(row, c));
            expected += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
        }
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 copied.isEmpty() ? QStringLiteral("before") : expected);
    }

    void siteReportPrintsEveryRadio_data() {
        QTest::addColumn<quint32>("locale");
        QTest::addColumn<QString>("title");
        QTest::newRow("English") << quint32{1033} << "Site report";
        QTest::newRow("Chinese") << quint32{2052} << "现场报告";
    }

    void siteReportPrintsEveryRadio() {
        QFETCH(quint32, locale);
        QFETCH(QString, title);
        UseLanguage(locale);
        test::TestUiContext ui;
        test::FillStore(*ui.store, 60);
        adapter_info_stu adapter;
        adapter.name = adapter.description = "veth-lan";
        adapter.addresses = {{"198.18.0.1", "255.255.255.0"}};
        ui.link.SetAdapters({adapter});
        auto page = OpenPage(PAGE_STATUS, ui.context);
        auto* status = qobject_cast<CStatusDlg*>(page.get());
        QVERIFY(status);
        QVERIFY(status->SiteReportButton()->isVisible());

        SaveAnswer save;
        status->SetSavePathChooser(save.Chooser());
        status->SiteReportButton()->click();
        const QByteArray pdf = save.Written();
        QVERIFY(pdf.startsWith("%PDF-"));
        // Sixty radios do not fit one landscape page.
        const auto pages = pdf.count("/Type /Page\n");
        QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));

        const SiteReport report = BuildSiteReport(ui.store.get()[0], ui.link, "2026-12-10 05:30");
        const QString text = SiteReportDocument(report)->toPlainText();
        QVERIFY(text.startsWith(title));
        QVERIFY(text.contains(QStringLiteral("2026-12-10 05:30")));
        QVERIFY(text.contains(QStringLiteral("veth-lan")));
        for (int n : {1, 37, 60}) QVERIFY(text.contains(QString::fromStdString(test::TestMac(n))));
    }

    void aFailedOrCancelledSaveWritesNothing_data() {
        QTest::addColumn<bool>("report");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("warned");
        const QString unwritable = QStringLiteral("/nonexistent-folder/out");
        QTest::newRow("export into a missing folder") << false << unwritable << true;
        QTest::newRow("report into a missing folder") << true << unwritable << true;
        QTest::newRow("export cancelled") << false << "" << false;
        QTest::newRow("report cancelled") << true << "" << false;
    }

    void aFailedOrCancelledSaveWritesNothing() {
        QFETCH(bool, report);
        QFETCH(QString, answer);
        QFETCH(bool, warned);
        test::TestUiContext ui;
        test::FillStore(*ui.store, 2);
        auto page = OpenPage(PAGE_STATUS, ui.context);
        auto* status = qobject_cast<CStatusDlg*>(page.get());
        SaveAnswer save;
        save.answer = answer;
        status->SetSavePathChooser(save.Chooser());
        (report ? status->SiteReportButton() : status->ExportButton())->click();
        QCOMPARE(save.asked, 1);
        const std::vector<std::string> expected = {"The file could not be written:\n" +
                                                   answer.toStdString()};
        QCOMPARE(ui.prompter.Texts(), warned ? expected : std::vector<std::string>{});
        QVERIFY(QDir(save.dir.path()).isEmpty());
    }
};

QTEST_MAIN(ListExportTest)
#include "list_export_test.moc"
