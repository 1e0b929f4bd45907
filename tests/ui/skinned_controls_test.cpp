#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "app/program_dir.h"
#include "support/ui_context.h"
#include "ui/image_button.h"
#include "ui/install_help_page.h"
#include "ui/picture_view.h"
#include "ui/skin.h"
#include "ui/skin_dialog.h"

using namespace fk;

namespace {

QPixmap Filled(const QColor& color) {
    QPixmap p(20, 10);
    p.fill(color);
    return p;
}

QColor CentreOf(QWidget& widget) {
    return widget.grab().toImage().pixelColor(widget.width() / 2, widget.height() / 2);
}

SkinValues SkinFor(std::uint32_t locale) {
    const SettingReader none = [](const std::string&, const std::string&,
                                  const std::string& fallback) { return fallback; };
    return LoadSkinValues(none, ProgramDirectory(), locale);
}

}  // namespace

class SkinnedControlsTest : public QObject {
    Q_OBJECT
  private slots:
    void buttonDrawsTheImageOfItsState();
    void buttonWithoutImagesDrawsNothingAndStillWorks();
    void skinDialogIgnoresEnterAndEscape();
    void installHelpShowsThePictureOfTheLanguage_data();
    void installHelpShowsThePictureOfTheLanguage();
    void pictureViewScrollsALargePictureAndToleratesAMissingOne();
};

void SkinnedControlsTest::buttonDrawsTheImageOfItsState() {
    CImageButton button;
    button.SetImages(Filled(Qt::red), Filled(Qt::green), Filled(Qt::blue), QPixmap());
    button.resize(20, 10);
    QCOMPARE(button.CurrentState(), CImageButton::State::Normal);
    QCOMPARE(CentreOf(button), QColor(Qt::red));

    button.setDown(true);
    QCOMPARE(button.CurrentState(), CImageButton::State::Pressed);
    QCOMPARE(CentreOf(button), QColor(Qt::blue));
    button.setDown(false);

    // The current page's navigation entry is drawn pressed.
    button.SetSelected(true);
    QCOMPARE(button.CurrentState(), CImageButton::State::Pressed);
    QCOMPARE(CentreOf(button), QColor(Qt::blue));
    button.SetSelected(false);

    // No disabled picture: the normal one, faded, so it still reads as the same button.
    button.setEnabled(false);
    QCOMPARE(button.CurrentState(), CImageButton::State::Disabled);
    const QColor faded = CentreOf(button);
    QVERIFY(faded != QColor(Qt::red));
    QVERIFY(faded.red() > faded.green());
    button.SetImages(Filled(Qt::red), QPixmap(), QPixmap(), Filled(Qt::gray));
    QCOMPARE(CentreOf(button), QColor(Qt::gray));
}

void SkinnedControlsTest::buttonWithoutImagesDrawsNothingAndStillWorks() {
    CImageButton button;
    button.SetImages({}, {}, {}, {});
    button.setText("Search");
    button.resize(80, 30);
    QSignalSpy clicked(&button, &CImageButton::clicked);
    button.show();
    QVERIFY(!button.grab().isNull());
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(button.sizeHint(), QSize(96, 32));
}

void SkinnedControlsTest::skinDialogIgnoresEnterAndEscape() {
    CSkinDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    edit->setFocus();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(edit, key);
        QTest::keyClick(&dialog, key);
    }
    QCOMPARE(finished.count(), 0);
    QVERIFY(dialog.isVisible());
    // Other keys still reach the window's own handling.
    QTest::keyClicks(edit, "10.0");
    QCOMPARE(edit->text(), QString("10.0"));
    QCOMPARE(dialog.palette().color(QPalette::Window), ToQColor(CurrentSkin().child_bk_color));
}

void SkinnedControlsTest::installHelpShowsThePictureOfTheLanguage_data() {
    QTest::addColumn<uint>("locale");
    QTest::addColumn<QString>("file");
    QTest::newRow("Chinese (PRC)") << 2052u << "help_chinese.jpg";
    QTest::newRow("English") << 1033u << "help_other.jpg";
    QTest::newRow("Chinese (Taiwan)") << 1028u << "help_other.jpg";
}

void SkinnedControlsTest::installHelpShowsThePictureOfTheLanguage() {
    QFETCH(uint, locale);
    QFETCH(QString, file);
    SetCurrentSkin(SkinFor(locale));
    test::TestUiContext ui;
    CInstallHelpDlg page(ui.context);
    QVERIFY(QString::fromStdString(CurrentSkin().ImagePath(SkinImage::InstallHelp)).endsWith(file));
    // The skin travels next to the binaries, so the picture is really there.
    QVERIFY(page.View()->HasImage());
    QCOMPARE(
        page.View()->ImageSize(),
        QPixmap(QString::fromStdString(CurrentSkin().ImagePath(SkinImage::InstallHelp))).size());
    QCOMPARE(page.PageCode(), int(PAGE_INSTALL_HELP));
    SetCurrentSkin(SkinFor(1033));
}

void SkinnedControlsTest::pictureViewScrollsALargePictureAndToleratesAMissingOne() {
    QTemporaryDir dir;
    const QString path = dir.filePath("tall.png");
    QPixmap tall(300, 2000);
    tall.fill(Qt::darkBlue);
    QVERIFY(tall.save(path));

    CPictureView view;
    view.resize(320, 240);
    QVERIFY(view.SetImageFile(path));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.verticalScrollBar()->maximum() > 0);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());

    QVERIFY(!view.SetImageFile(dir.filePath("missing.jpg")));
    QVERIFY(!view.HasImage());
    QTRY_COMPARE(view.verticalScrollBar()->maximum(), 0);
}

QTEST_MAIN(SkinnedControlsTest)
#include "skinned_controls_test.moc"
