#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include "app/program_dir.h"
#include "support/counting_page.h"
#include "support/language_pack.h"
#include "support/ui_context.h"
#include "ui/application_dlg.h"
#include "ui/child_dlg.h"
#include "ui/image_button.h"
#include "ui/menu_dlg.h"
#include "ui/navigation_table.h"
#include "ui/skin_static.h"
#include "ui/tray_icon.h"

using namespace fk;

namespace {

CPageBase* MakeCountingPage(int code, const UiContext&, QWidget* parent) {
    auto* page = new test::CountingPage(code, parent);
    new QLineEdit(page);
    return page;
}

struct MainWindow {
    test::TestUiContext ui;
    CApplicationDlg dlg{ui.context, "V1.2.3.4", nullptr, MakeCountingPage};
    QList<QUrl> opened;

    MainWindow() {
        dlg.SetUrlOpener([this](const QUrl& url) { opened << url; });
    }
    test::CountingPage* Page(int code) const {
        return static_cast<test::CountingPage*>(dlg.Pages()->Page(code));
    }
};

QAction* ActionNamed(const QMenu* menu, const QString& name) {
    for (QAction* a : menu->actions())
        if (a->objectName() == name) return a;
    return nullptr;
}

const char* const kHelpActions[] = {"help32774", "help32775", "help32779", "help57670"};

QUrl UnderDataDirectory(const QString& relative) {
    return QUrl::fromLocalFile(QString::fromStdString(DataDirectory()) + relative);
}

const test::PackEntries kTestPack = {{"CPEManagement", "Feldwerk"},
                                     {"Device status", "Status"},
                                     {"Device management", "Verwaltung"},
                                     {"Install Help", "Montage"},
                                     {"Min", "Verkleinern"},
                                     {"Close", "Schließen"},
                                     {"Info", "Hilfe"},
                                     {"Contact Us", "Kontakt"},
                                     {"Show Utility", "Anzeigen"},
                                     {"about", "Über Feldwerk..."},
                                     {"Product_url", "https://example.test/product"},
                                     {"Contact_url", "mailto:radios@example.test"},
                                     {"Help_url", "help/index.html"}};

}  // namespace

class ApplicationDlgTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void navigationListsTheEightPagesInOrder();
    void pressingAButtonSelectsItAloneAndSwitchesPage();
    void helpMenuOpensTheTranslatedAddresses_data();
    void helpMenuOpensTheTranslatedAddresses();
    void aboutShowsTheNameAndVersion();
    void enterAndEscapeNeverCloseTheWindow();
    void titleButtonsAndTrayMenuEndOrRestoreTheWindow();
    void aClickOnTheTrayIconRestoresTheWindow();
    void anyBusyPageLocksTheNavigationAndPausesTheRefresh();
    void shippedPacksLeadEveryHelpEntryToAShippedPage();

  private:
    QTemporaryDir dir_;
};

void ApplicationDlgTest::initTestCase() {
    QVERIFY(test::UseLanguagePack(dir_.path(), kTestPack));
}

void ApplicationDlgTest::navigationListsTheEightPagesInOrder() {
    MainWindow w;
    const QStringList captions = {"Status",        "Verwaltung",     "Device bridge",
                                  "Device reboot", "Device upgrade", "Device restore",
                                  "System tool",   "Montage"};
    const int ids[] = {1004, 1007, 1003, 1009, 1006, 1005, 1001, 1008};
    for (int i = 0; i < 8; ++i) {
        CImageButton* button = w.dlg.Menu()->Button(i);
        QCOMPARE(button->text(), captions[i]);
        QCOMPARE(button->objectName(), QString("nav%1").arg(ids[i]));
        // Stacked top to bottom.
        if (i > 0) QVERIFY(button->y() > w.dlg.Menu()->Button(i - 1)->y());
    }
    QCOMPARE(w.dlg.Menu()->SelectedPage(), int(PAGE_STATUS));
    QCOMPARE(w.dlg.Pages()->CurrentPage(), int(PAGE_STATUS));
    QCOMPARE(w.dlg.Menu()->FootLabel()->text(), QString("V1.2.3.4"));
}

void ApplicationDlgTest::pressingAButtonSelectsItAloneAndSwitchesPage() {
    MainWindow w;
    w.dlg.show();
    for (std::size_t i = 0; i < kNavigationEntries.size(); ++i) {
        const int code = kNavigationEntries[i].page_code;
        QTest::mouseClick(w.dlg.Menu()->Button(i), Qt::LeftButton);
        for (std::size_t j = 0; j < kNavigationEntries.size(); ++j) {
            QCOMPARE(w.dlg.Menu()->Button(j)->IsSelected(), i == j);
            QCOMPARE(w.dlg.Menu()->Button(j)->CurrentState() == CImageButton::State::Pressed,
                     i == j);
        }
        QCOMPARE(w.dlg.Pages()->CurrentPage(), code);
        QVERIFY(w.Page(code)->isVisible());
        QVERIFY(w.dlg.Pages()->SwitchTimer().isActive());
    }
    // Switching from code keeps the navigation in step too.
    w.dlg.SelectPage(PAGE_BRIDGE);
    QCOMPARE(w.dlg.Menu()->SelectedPage(), int(PAGE_BRIDGE));
    QCOMPARE(w.dlg.Pages()->CurrentPage(), int(PAGE_BRIDGE));
}

void ApplicationDlgTest::helpMenuOpensTheTranslatedAddresses_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QUrl>("url");
    QTest::newRow("product") << "help32774"
                             << "Product" << QUrl("https://example.test/product");
    // Without a translation the key itself names a page nobody ships; the handler then
    // fails quietly.
    QTest::newRow("support") << "help32775"
                             << "Support" << UnderDataDirectory("Support_url");
    QTest::newRow("contact") << "help32779"
                             << "Kontakt" << QUrl("mailto:radios@example.test");
    QTest::newRow("help") << "help57670"
                          << "Help" << UnderDataDirectory("help/index.html");
}

void ApplicationDlgTest::helpMenuOpensTheTranslatedAddresses() {
    QFETCH(QString, action);
    QFETCH(QString, caption);
    QFETCH(QUrl, url);
    MainWindow w;
    QAction* entry = ActionNamed(w.dlg.HelpMenu(), action);
    QVERIFY(entry != nullptr);
    QCOMPARE(entry->text(), caption);
    entry->trigger();
    QCOMPARE(w.opened, QList<QUrl>{url});
    QVERIFY(w.ui.prompter.Records().empty());
}

void ApplicationDlgTest::aboutShowsTheNameAndVersion() {
    MainWindow w;
    QAction* about = ActionNamed(w.dlg.HelpMenu(), "help16");
    QVERIFY(about != nullptr);
    QCOMPARE(about->text(), QString("Über Feldwerk..."));
    about->trigger();
    const auto shown = w.ui.prompter.Records();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].title, std::string("Feldwerk"));
    QCOMPARE(shown[0].text, std::string("Feldwerk V1.2.3.4"));
    QCOMPARE(shown[0].icon, MsgIcon::Information);
    QVERIFY(w.opened.isEmpty());
}

void ApplicationDlgTest::enterAndEscapeNeverCloseTheWindow() {
    MainWindow w;
    QSignalSpy finished(&w.dlg, &QDialog::finished);
    w.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.dlg));
    auto* edit = w.Page(PAGE_STATUS)->findChild<QLineEdit*>();
    QVERIFY(edit != nullptr);
    for (const int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&w.dlg, static_cast<Qt::Key>(key));
        QTest::keyClick(edit, static_cast<Qt::Key>(key));
        QTest::keyClick(w.dlg.Menu()->Button(2), static_cast<Qt::Key>(key));
    }
    QCOMPARE(finished.count(), 0);
    QVERIFY(w.dlg.isVisible());
}

// Most Linux trays report a single click only; the menu is the context click's.
void ApplicationDlgTest::aClickOnTheTrayIconRestoresTheWindow() {
    const struct {
        QSystemTrayIcon::ActivationReason reason;
        bool restores;
    } cases[] = {
        {QSystemTrayIcon::Trigger, true},  {QSystemTrayIcon::DoubleClick, true},
        {QSystemTrayIcon::Context, false}, {QSystemTrayIcon::MiddleClick, false},
        {QSystemTrayIcon::Unknown, false},
    };
    for (const auto& c : cases) {
        MainWindow w;
        w.dlg.show();
        QTest::mouseClick(w.dlg.MinButton(), Qt::LeftButton);
        w.dlg.Tray()->OnActivated(c.reason);
        QCOMPARE(w.dlg.isVisible() && !(w.dlg.windowState() & Qt::WindowMinimized), c.restores);
    }
}

void ApplicationDlgTest::titleButtonsAndTrayMenuEndOrRestoreTheWindow() {
    MainWindow w;
    QCOMPARE(w.dlg.MinButton()->toolTip(), QString("Verkleinern"));
    QCOMPARE(w.dlg.CloseButton()->toolTip(), QString("Schließen"));
    QCOMPARE(w.dlg.InfoButton()->toolTip(), QString("Hilfe"));
    QMenu* tray = w.dlg.Tray()->Menu();
    QCOMPARE(ActionNamed(tray, "tray32781")->text(), QString("Anzeigen"));
    QCOMPARE(ActionNamed(tray, "tray32782")->text(), QString("Exit"));

    w.dlg.show();
    w.dlg.SelectPage(PAGE_UPGRADE);
    QTest::mouseClick(w.dlg.MinButton(), Qt::LeftButton);
    if (w.dlg.Tray()->IsPresent())
        QVERIFY(!w.dlg.isVisible());
    else  // a window that no tray could bring back is only minimised
        QVERIFY(w.dlg.isVisible());
    ActionNamed(tray, "tray32781")->trigger();
    QVERIFY(w.dlg.isVisible());
    QVERIFY(!(w.dlg.windowState() & Qt::WindowMinimized));
    QCOMPARE(w.dlg.Pages()->CurrentPage(), int(PAGE_UPGRADE));

    QSignalSpy finished(&w.dlg, &QDialog::finished);
    ActionNamed(tray, "tray32782")->trigger();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), int(QDialog::Accepted));

    w.dlg.show();
    QTest::mouseClick(w.dlg.CloseButton(), Qt::LeftButton);
    QCOMPARE(finished.count(), 2);
    QCOMPARE(finished.at(1).at(0).toInt(), int(QDialog::Rejected));
}

void ApplicationDlgTest::anyBusyPageLocksTheNavigationAndPausesTheRefresh() {
    MainWindow w;
    for (const auto& entry : kNavigationEntries) {
        test::CountingPage* page = w.Page(entry.page_code);
        emit page->busyChanged(true);
        QVERIFY2(!w.dlg.Menu()->isEnabled(), entry.caption_key);
        emit page->busyChanged(false);
        QVERIFY2(w.dlg.Menu()->isEnabled(), entry.caption_key);
    }
    w.dlg.SelectPage(PAGE_MANAGEMENT);
    test::CountingPage* management = w.Page(PAGE_MANAGEMENT);
    const int before = management->refreshes;
    emit management->busyChanged(true);
    w.dlg.Pages()->OnPeriodicTimer();
    QCOMPARE(management->refreshes, before);
    emit management->busyChanged(false);
    w.dlg.Pages()->OnPeriodicTimer();
    QCOMPARE(management->refreshes, before + 1);
}

// The packs that ship lead every Help entry to a page the build put next to the
// program, in each language.
void ApplicationDlgTest::shippedPacksLeadEveryHelpEntryToAShippedPage() {
    for (const std::uint32_t locale : {1033u, 2052u}) {
        COperateLanguage::Instance().Init(ProgramDirectory(), locale);
        QVERIFY(COperateLanguage::Instance().LanguageName() != "Test");
        MainWindow w;
        for (const char* name : kHelpActions) {
            ActionNamed(w.dlg.HelpMenu(), name)->trigger();
            QVERIFY2(w.opened.last().isLocalFile(), name);
            const QString page = w.opened.last().toLocalFile();
            QVERIFY2(QFileInfo(page).isFile(), qPrintable(page));
        }
        QCOMPARE(QSet<QUrl>(w.opened.begin(), w.opened.end()).size(), 4);
    }
    QVERIFY(test::UseLanguagePack(dir_.path(), kTestPack));
}

QTEST_MAIN(ApplicationDlgTest)
#include "application_dlg_test.moc"
