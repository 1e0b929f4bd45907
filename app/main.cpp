// The desktop program: brings the process up in a fixed order, runs the main window
// until it closes, and takes everything down again in the reverse order, also when
// the process is asked to end by a signal.
#include <sys/socket.h>
#include <unistd.h>
#include <QAbstractButton>
#include <QApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <string>

#include "app/language.h"
#include "app/program_dir.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "app/single_instance.h"
#include "app/skin_values.h"
#include "operations/bridge_page.h"
#include "operations/status_page.h"
#include "operations/status_script_view.h"
#include "protocol/comm_engine.h"
#include "store/sql_management.h"
#include "ui/application_dlg.h"
#include "ui/child_dlg.h"
#include "ui/qt_prompter.h"
#include "ui/skin_style.h"

namespace {

using namespace fk;

struct Options {
    QString screenshot;
    int page = 0;
    int after_ms = 1500;
    QString click;
    QString e2e_script;  // end-to-end tests only: see operations/status_script_view.h
};

// --screenshot FILE [--page CODE] [--click CAPTION] [--after-ms N]: shows a page,
// presses the button with that caption on it, grabs the main window into FILE after
// N ms and ends; for documentation and visual checks.
Options ParseOptions(const QStringList& args) {
    Options options;
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot"))
            options.screenshot = args[++i];
        else if (args[i] == QLatin1String("--page"))
            options.page = args[++i].toInt();
        else if (args[i] == QLatin1String("--after-ms"))
            options.after_ms = args[++i].toInt();
        else if (args[i] == QLatin1String("--e2e-script"))
            options.e2e_script = args[++i];
        else if (args[i] == QLatin1String("--click"))
            options.click = args[++i];
    }
    return options;
}

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

}  // namespace

int main(int argc, char** argv) {
    // A second copy would fight the first over the device ports; it ends silently.
    CSingleInstance guard;
    if (!guard.Acquire()) return 0;

    QApplication app(argc, argv);
    // The main window may be hidden in the tray; only its end ends the program.
    app.setQuitOnLastWindowClosed(false);
    app.setStyle(new CSkinStyle);
    const Options options = ParseOptions(app.arguments());

    const std::string program_directory = ProgramDirectory();
    COperateLanguage::Instance().Init(program_directory);

    const RetransmissionSettings retransmission = ReadRetransmissionSettings(SettingsFilePath());
    SetCurrentSkin(
        LoadSkinValues(ReadSetting, program_directory, COperateLanguage::Instance().LocaleId()));
    app.setApplicationDisplayName(QString::fromStdString(Translate("CPEManagement")));

    CQtPrompter prompter(QString::fromStdString(Translate("CPEManagement")));

    // The store comes first because the engine writes into it; a failed start is not
    // fatal, the window still shows the PC's adapters and whatever does work.
    CSqlManagement store(program_directory, &prompter);
    CCommEngine engine(EngineOptions{}, MakeSystemAdapterSource(), store);
    engine.Start(retransmission.max, retransmission.interval);

    {
        const UiContext context{engine, store, prompter};
        CApplicationDlg window(context, VersionText());

        std::unique_ptr<QSocketNotifier> signal_notifier;
        if (InstallSignalPipe()) {
            signal_notifier =
                std::make_unique<QSocketNotifier>(g_signal_pipe[0], QSocketNotifier::Read);
            QObject::connect(signal_notifier.get(), &QSocketNotifier::activated, &window, [&] {
                char byte;
                [[maybe_unused]] const ssize_t n = read(g_signal_pipe[0], &byte, 1);
                window.done(QDialog::Rejected);
            });
        }

        if (options.page != 0) window.SelectPage(options.page);
        if (!options.click.isEmpty()) {
            QTimer::singleShot(200, &window, [&] {
                const QWidget* page = window.Pages()->Page(window.Pages()->CurrentPage());
                for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
                    if (button->isVisible() && button->text() == options.click) {
                        button->click();
                        break;
                    }
                }
            });
        }
        if (!options.screenshot.isEmpty()) {
            QTimer::singleShot(options.after_ms, &window, [&] {
                if (!window.grab().save(options.screenshot))
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(options.screenshot));
                window.accept();
            });
        }
        if (!options.e2e_script.isEmpty()) {
            auto* status = dynamic_cast<CStatusDlg*>(window.Pages()->Page(PAGE_STATUS));
            auto* bridge = dynamic_cast<CBridgeDlg*>(window.Pages()->Page(PAGE_BRIDGE));
            if (!status || !RunStatusScript(window, *status, bridge, options.e2e_script))
                std::fprintf(stderr, "cannot run %s\n", qPrintable(options.e2e_script));
        }
        window.exec();
    }

    // Goodbyes go out while the sockets still exist; the store (and data.mdb) goes
    // after the engine, in the reverse order of their creation.
    engine.Stop();
    return 0;
}
