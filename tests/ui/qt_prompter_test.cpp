#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QtTest>
#include <atomic>
#include <thread>

#include "ui/qt_prompter.h"

using namespace fk;

namespace {

QMessageBox* OpenBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

// Waits for the box the prompter opened, checks it, and presses `button` on it.
void Answer(QMessageBox::StandardButton button, const QString& text, const QString& title) {
    QTRY_VERIFY_WITH_TIMEOUT(OpenBox() != nullptr, 10000);
    QMessageBox* box = OpenBox();
    QCOMPARE(box->text(), text);
    QCOMPARE(box->windowTitle(), title);
    QVERIFY(box->button(button) != nullptr);
    box->button(button)->click();
}

}  // namespace

class QtPrompterTest : public QObject {
    Q_OBJECT
  private slots:
    void confirmationsAnswerOkOrCancel_data();
    void confirmationsAnswerOkOrCancel();
    void messagesFromSenderThreadsAreShownOnTheWindowThread();
};

void QtPrompterTest::confirmationsAnswerOkOrCancel_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("answer");
    QTest::newRow("OK") << int(QMessageBox::Ok) << true;
    QTest::newRow("Cancel") << int(QMessageBox::Cancel) << false;
}

void QtPrompterTest::confirmationsAnswerOkOrCancel() {
    QFETCH(int, button);
    QFETCH(bool, answer);
    CQtPrompter prompter("Fieldkit");
    QTimer::singleShot(0, this, [&] {
        Answer(static_cast<QMessageBox::StandardButton>(button), "Reboot the devices?", "Fieldkit");
    });
    QCOMPARE(prompter.Confirm("Reboot the devices?"), answer);
}

void QtPrompterTest::messagesFromSenderThreadsAreShownOnTheWindowThread() {
    CQtPrompter prompter("Fieldkit");
    std::atomic<int> finished{0};
    std::atomic<bool> confirmed{false};
    // Boxes run their own event loop on this thread; a polling timer answers them from
    // inside it and notes what each one said and whether a sender was still waiting.
    QStringList seen;
    QTimer answerer;
    answerer.setInterval(5);
    connect(&answerer, &QTimer::timeout, this, [&] {
        QMessageBox* box = OpenBox();
        if (box == nullptr || !box->isVisible()) return;
        seen << QString("%1|%2|%3").arg(box->windowTitle(), box->text()).arg(finished.load());
        box->button(QMessageBox::Ok)->click();
    });
    answerer.start();
    std::thread sender([&] {
        prompter.Warn("Upgrade", "The file is too large", MsgIcon::Warning);
        finished = 1;
        confirmed = prompter.Confirm("Continue?");
        finished = 2;
    });
    QTRY_COMPARE_WITH_TIMEOUT(finished.load(), 2, 10000);
    sender.join();
    QVERIFY(confirmed.load());
    // Each box was up while its sender waited for it.
    QCOMPARE(seen, QStringList({"Upgrade|The file is too large|0", "Fieldkit|Continue?|1"}));
}

QTEST_MAIN(QtPrompterTest)
#include "qt_prompter_test.moc"
