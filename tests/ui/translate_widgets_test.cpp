#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "support/language_pack.h"
#include "ui/translate_widgets.h"

using namespace fk;

class TranslateWidgetsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void captionsOfEveryKindAreTranslated();
    void dataControlsKeepTheirContents();
    void ellipsisAndEmptyTranslationsKeepTheCaption();
    void comboItemsAreTranslatedWithSelectionAndDataKept();
    void aWindowIsTranslatedOnlyOnce();
    void menusAndSubmenusSkipSeparators();

  private:
    QTemporaryDir dir_;
};

void TranslateWidgetsTest::initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(test::UseLanguagePack(dir_.path(), {{"Search", "Suchen"},
                                                {"Cancel", "Abbrechen"},
                                                {"Device status", "Gerätestatus"},
                                                {"Wireless", "Funk"},
                                                {"Name", "Bezeichnung"},
                                                {"Title", "Titel"},
                                                {"...", "…übersetzt"},
                                                {"Vanish", "[~NullInfoChrys~]"},
                                                {"Blank", "[~Null~]"},
                                                {"Open", "Öffnen"},
                                                {"More", "Mehr"}}));
}

void TranslateWidgetsTest::captionsOfEveryKindAreTranslated() {
    QWidget window;
    window.setWindowTitle("Title");
    auto* button = new QPushButton("Search", &window);
    auto* label = new QLabel("device status", &window);  // keys ignore case
    auto* group = new QGroupBox("Wireless", &window);
    auto* check = new QCheckBox("Name", group);  // nested two levels down
    auto* tabs = new QTabWidget(&window);
    tabs->addTab(new QWidget, "Search");
    tabs->addTab(new QWidget, "Untranslated");
    auto* unknown = new QLabel("No such key", &window);
    // A child window is left to be translated as a window of its own.
    auto* dialog = new QDialog(&window);
    auto* inside = new QPushButton("Cancel", dialog);

    TranslateWindow(&window);

    QCOMPARE(window.windowTitle(), QString("Titel"));
    QCOMPARE(button->text(), QString("Suchen"));
    QCOMPARE(label->text(), QString("Gerätestatus"));
    QCOMPARE(group->title(), QString("Funk"));
    QCOMPARE(check->text(), QString("Bezeichnung"));
    QCOMPARE(tabs->tabText(0), QString("Suchen"));
    QCOMPARE(tabs->tabText(1), QString("Untranslated"));
    QCOMPARE(unknown->text(), QString("No such key"));
    QCOMPARE(inside->text(), QString("Cancel"));
    TranslateWindow(dialog);
    QCOMPARE(inside->text(), QString("Abbrechen"));
}

void TranslateWidgetsTest::dataControlsKeepTheirContents() {
    QWidget window;
    auto* edit = new QLineEdit("Search", &window);
    auto* list = new QListWidget(&window);
    list->addItem("Search");
    auto* table = new QTableWidget(1, 1, &window);
    table->setHorizontalHeaderItem(0, new QTableWidgetItem("Search"));
    table->setItem(0, 0, new QTableWidgetItem("Search"));
    auto* progress = new QProgressBar(&window);
    progress->setFormat("Search");
    auto* spin = new QSpinBox(&window);
    spin->setPrefix("Search");
    // A composite field built from plain widgets is marked as data by its owner.
    auto* address = new QWidget(&window);
    auto* octet = new QLabel("Search", address);
    MarkAsDataControl(address);

    TranslateWindow(&window);

    QCOMPARE(edit->text(), QString("Search"));
    QCOMPARE(list->item(0)->text(), QString("Search"));
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QString("Search"));
    QCOMPARE(table->item(0, 0)->text(), QString("Search"));
    QCOMPARE(progress->format(), QString("Search"));
    QCOMPARE(spin->prefix(), QString("Search"));
    QCOMPARE(octet->text(), QString("Search"));
}

void TranslateWidgetsTest::ellipsisAndEmptyTranslationsKeepTheCaption() {
    struct Case {
        const char* caption;
        QString expected;
    };
    const Case cases[] = {
        {"...", "..."},        // browse buttons keep their dots even when the pack has them
        {"Vanish", "Vanish"},  // an empty translation is never set
        {"Blank", " "},        // a deliberate blank is
        {"", ""},
    };
    for (const auto& c : cases) {
        QWidget window;
        auto* button = new QPushButton(c.caption, &window);
        auto* label = new QLabel(c.caption, &window);
        TranslateWindow(&window);
        QCOMPARE(button->text(), c.expected);
        QCOMPARE(label->text(), c.expected);
    }
    QWidget titled;
    titled.setWindowTitle("Vanish");
    TranslateWindow(&titled);
    QCOMPARE(titled.windowTitle(), QString("Vanish"));
}

void TranslateWidgetsTest::comboItemsAreTranslatedWithSelectionAndDataKept() {
    QWidget window;
    auto* combo = new QComboBox(&window);
    combo->addItem("Open", 11);
    combo->addItem("Search", 22);
    combo->addItem("Unknown", 33);
    combo->addItem("Vanish", 44);
    combo->setCurrentIndex(2);
    int index_changes = 0;
    connect(combo, &QComboBox::currentIndexChanged, this, [&] { ++index_changes; });

    TranslateWindow(&window);

    QCOMPARE(combo->count(), 4);
    QCOMPARE(combo->itemText(0), QString("Öffnen"));
    QCOMPARE(combo->itemText(1), QString("Suchen"));
    QCOMPARE(combo->itemText(2), QString("Unknown"));
    QCOMPARE(combo->itemText(3), QString("Vanish"));
    QCOMPARE(combo->currentIndex(), 2);
    QCOMPARE(combo->itemData(1).toInt(), 22);
    QCOMPARE(index_changes, 0);

    QComboBox empty;
    TranslateComboItems(&empty);
    QCOMPARE(empty.currentIndex(), -1);
}

void TranslateWidgetsTest::aWindowIsTranslatedOnlyOnce() {
    QWidget window;
    window.setWindowTitle("Title");
    auto* button = new QPushButton("Search", &window);
    TranslateWindow(&window);
    QVERIFY(IsTranslated(&window));
    QVERIFY(IsTranslated(button));

    // Texts the program sets later are its own business.
    window.setWindowTitle("Title");
    button->setText("Search");
    TranslateWindow(&window);
    QCOMPARE(window.windowTitle(), QString("Title"));
    QCOMPARE(button->text(), QString("Search"));

    // A control added after the first pass is not visited by a second one either, but
    // a new window is translated even if it reuses a destroyed one's memory.
    for (int i = 0; i < 3; ++i) {
        auto fresh = std::make_unique<QWidget>();
        auto* caption = new QLabel("Search", fresh.get());
        TranslateWindow(fresh.get());
        QCOMPARE(caption->text(), QString("Suchen"));
    }
    TranslateWindow(nullptr);
}

void TranslateWidgetsTest::menusAndSubmenusSkipSeparators() {
    QMenu menu;
    QAction* open = menu.addAction("Open");
    QAction* separator = menu.addSeparator();
    QMenu* more = menu.addMenu("More");
    QAction* search = more->addAction("Search");
    QAction* vanish = more->addAction("Vanish");

    TranslateMenu(&menu);

    QCOMPARE(open->text(), QString("Öffnen"));
    QVERIFY(separator->text().isEmpty());
    QCOMPARE(more->title(), QString("Mehr"));
    QCOMPARE(search->text(), QString("Suchen"));
    QCOMPARE(vanish->text(), QString("Vanish"));
    TranslateMenu(nullptr);
}

QTEST_MAIN(TranslateWidgetsTest)
#include "translate_widgets_test.moc"
