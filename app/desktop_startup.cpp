#include "app/desktop_startup.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <memory>
#include <string>

#include "app/language.h"
#include "app/program_dir.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "app/single_instance.h"
#include "app/skin_values.h"
#include "protocol/comm_engine.h"
#include "store/sql_management.h"
#include "ui/application_dlg.h"
#include "ui/qt_prompter.h"
#include "ui/skin_style.h"

namespace fk {
namespace {

// SIGTERM and SIGINT only write a byte into a pipe; the event loop reads it and ends
// the main window, so the same orderly shut-down runs as after "Exit".
int g_signal_pipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(g_signal_pipe[1], &byte, 1);
}

bool InstallSignalPipe() {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signal_pipe) != 0) return false;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    return true;
}

// Ends `window` when a signal's byte arrives; null when the pipe could not be made.
std::unique_ptr<QSocketNotifier> EndOnSignal(CApplicationDlg& window) {
    if (!InstallSignalPipe()) return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(g_signal_pipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, &window, [&window] {
        char byte;
        [[maybe_unused]] const ssize_t n = read(g_signal_pipe[0], &byte, 1);
        window.done(QDialog::Rejected);
    });
    return notifier;
}

}  // namespace

int RunDesktop(int argc, char** argv, const DesktopHook& hook) {
    // A second copy would fight the first over the device ports; it ends silently.
    CSingleInstance guard;
    if (!guard.Acquire()) return 0;

    QApplication app(argc, argv);
    // The main window may be hidden in the tray; only its end ends the program.
    app.setQuitOnLastWindowClosed(false);
    app.setStyle(new CSkinStyle);

    const std::string data_directory = DataDirectory();
    COperateLanguage::Instance().Init(data_directory);

    const RetransmissionSettings retransmission = ReadRetransmissionSettings(SettingsFilePath());
    SetCurrentSkin(
        LoadSkinValues(ReadSetting, data_directory, COperateLanguage::Instance().LocaleId()));
    app.setApplicationDisplayName(QString::fromStdString(Translate("CPEManagement")));

    CQtPrompter prompter(QString::fromStdString(Translate("CPEManagement")));

    // The store comes first because the engine writes into it; a failed start is not
    // fatal, the window still shows the PC's adapters and whatever does work.
    CSqlManagement store(RunDirectory(), &prompter);
    CCommEngine engine(EngineOptions{}, MakeSystemAdapterSource(), store);
    engine.Start(retransmission.max, retransmission.interval);

    {
        const UiContext context{engine, store, prompter};
        CApplicationDlg window(context, VersionText());
        const std::unique_ptr<QSocketNotifier> signal_notifier = EndOnSignal(window);
        if (hook) hook(window, app.arguments());
        window.exec();
    }

    // Goodbyes go out while the sockets still exist; the store (and data.mdb) goes
    // after the engine, in the reverse order of their creation.
    engine.Stop();
    return 0;
}

}  // namespace fk
