// Every image-button caption of every shipped language pack fits its button with the
// fonts this machine really has: the skin names a face that is often missing, and the
// substitute can be much wider. Measured with the font each button draws with.
#include <QFontMetrics>
#include <QtTest>

#include "app/language.h"
#include "app/program_dir.h"
#include "app/settings.h"
#include "app/skin_values.h"
#include "support/ui_context.h"
#include "ui/application_dlg.h"
#include "ui/child_dlg.h"
#include "ui/image_button.h"
#include "ui/menu_dlg.h"
#include "ui/navigation_table.h"
#include "ui/skin.h"

using namespace fk;

namespace {

void UsePack(std::uint32_t locale_id) {
    const std::string dir = ProgramDirectory();
    COperateLanguage::Instance().Init(dir, locale_id);
    SetCurrentSkin(LoadSkinValues(ReadSetting, dir, locale_id));
}

QString Describe(const CImageButton& button) {
    return QStringLiteral("\"%1\" (%2, %3 px of %4 px at %5 px)")
        .arg(button.text(), button.objectName())
        .arg(QFontMetrics(button.CaptionFont()).horizontalAdvance(button.text()))
        .arg(button.CaptionArea().width())
        .arg(button.CaptionFont().pixelSize());
}

}  // namespace

class CaptionsFitTest : public QObject {
    Q_OBJECT
  private slots:
    void everyCaptionOfEveryPackFitsItsButton_data();
    void everyCaptionOfEveryPackFitsItsButton();
    void aCaptionShrinksBeforeItIsCut_data();
    void aCaptionShrinksBeforeItIsCut();
};

void CaptionsFitTest::everyCaptionOfEveryPackFitsItsButton_data() {
    QTest::addColumn<quint32>("locale");
    QTest::addColumn<QString>("pack");
    QTest::newRow("English") << quint32{1033} << "English";
    QTest::newRow("Simplified Chinese") << quint32{2052} << "Chinese";
}

void CaptionsFitTest::everyCaptionOfEveryPackFitsItsButton() {
    QFETCH(quint32, locale);
    QFETCH(QString, pack);
    UsePack(locale);
    QCOMPARE(QString::fromStdString(COperateLanguage::Instance().LanguageName()), pack);

    test::TestUiContext ui;
    CApplicationDlg window(ui.context, "V1.0.0.0");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    int measured = 0;
    for (const auto& entry : kNavigationEntries) {
        window.SelectPage(entry.page_code);
        QCoreApplication::processEvents();
        for (CImageButton* button : window.findChildren<CImageButton*>()) {
            if (button->text().isEmpty() || !button->isVisible()) continue;
            const bool was_selected = button->IsSelected();
            // Navigation captions are bold while selected, so each is measured both ways.
            for (bool selected : {false, true}) {
                button->SetSelected(selected);
                const int advance =
                    QFontMetrics(button->CaptionFont()).horizontalAdvance(button->text());
                QVERIFY2(advance <= button->CaptionArea().width(), qPrintable(Describe(*button)));
                QVERIFY2(button->CaptionText() == button->text(), qPrintable(Describe(*button)));
                ++measured;
            }
            button->SetSelected(was_selected);
        }
    }
    // The eight navigation entries on every page, and the status page's actions.
    QVERIFY2(measured >= 2 * (8 * 8 + 4), qPrintable(QString::number(measured)));

    // Entries of mixed sizes would read as different kinds of entry.
    const int size = window.Menu()->Button(0)->CaptionFont().pixelSize();
    for (std::size_t i = 0; i < kNavigationEntries.size(); ++i)
        QCOMPARE(window.Menu()->Button(i)->CaptionFont().pixelSize(), size);
}

void CaptionsFitTest::aCaptionShrinksBeforeItIsCut_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("shrinks");
    QTest::addColumn<bool>("cut");
    QTest::newRow("fits as it is") << "Go" << 180 << false << false;
    QTest::newRow("too wide at 20 px, fits smaller") << "Management" << 0 << true << false;
    QTest::newRow("too wide at any readable size") << QString(60, 'W') << 40 << true << true;
}

void CaptionsFitTest::aCaptionShrinksBeforeItIsCut() {
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(bool, shrinks);
    QFETCH(bool, cut);
    QFont font;
    font.setPixelSize(20);
    // Width 0 in the table: just short of what the text needs at full size.
    if (width == 0) width = QFontMetrics(font).horizontalAdvance(text) * 3 / 4;

    CImageButton button;
    button.SetCaptionStyle(font, Qt::black, Qt::red);
    button.setText(text);
    button.resize(width, 30);
    QCOMPARE(button.CaptionFont().pixelSize() < 20, shrinks);
    QCOMPARE(button.CaptionText() != text, cut);
    QVERIFY(QFontMetrics(button.CaptionFont()).horizontalAdvance(button.CaptionText()) <= width);
}

QTEST_MAIN(CaptionsFitTest)
#include "captions_fit_test.moc"
