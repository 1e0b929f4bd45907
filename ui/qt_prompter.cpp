#include "ui/qt_prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <functional>
#include <future>
#include <utility>

namespace fk {
namespace {

QMessageBox::Icon BoxIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

CQtPrompter::CQtPrompter(QString default_title, QObject* parent)
    : QObject(parent), default_title_(std::move(default_title)) {}

void CQtPrompter::Warn(const std::string& title, const std::string& text, MsgIcon icon) {
    const QString t = QString::fromStdString(title);
    const QString body = QString::fromStdString(text);
    RunOnUiThread([&] { ShowWarn(t, body, icon); });
}

bool CQtPrompter::Confirm(const std::string& text) {
    bool ok = false;
    const QString body = QString::fromStdString(text);
    RunOnUiThread([&] { ok = ShowConfirm(body); });
    return ok;
}

void CQtPrompter::ShowWarn(const QString& title, const QString& text, MsgIcon icon) {
    QMessageBox box(BoxIcon(icon), title.isEmpty() ? default_title_ : title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool CQtPrompter::ShowConfirm(const QString& text) {
    QMessageBox box(QMessageBox::Question, default_title_, text,
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void CQtPrompter::RunOnUiThread(const std::function<void()>& work) {
    if (QThread::currentThread() == thread()) {
        work();
        return;
    }
    // A queued call and a future rather than a blocking connection: the hand-over then
    // goes through the standard library, which the thread checker can follow, and the
    // box's answer is visible to this thread once the wait returns.
    std::promise<void> done;
    std::future<void> shown = done.get_future();
    QMetaObject::invokeMethod(
        this,
        [&work, &done] {
            work();
            done.set_value();
        },
        Qt::QueuedConnection);
    shown.wait();
}

}  // namespace fk
