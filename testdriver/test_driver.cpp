#include "testdriver/test_driver.h"

#include <QAbstractButton>
#include <QTimer>
#include <cstdio>

#include "operations/bridge_page.h"
#include "operations/status_page.h"
#include "testdriver/status_script.h"
#include "ui/application_dlg.h"
#include "ui/child_dlg.h"

namespace fk::testdriver {
namespace {

struct Options {
    QString screenshot;
    int page = 0;
    int after_ms = 1500;
    QString click;
    QString e2e_script;
};

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

}  // namespace

void Install(CApplicationDlg& window, const QStringList& arguments) {
    const Options options = ParseOptions(arguments);
    if (options.page != 0) window.SelectPage(options.page);
    if (!options.click.isEmpty()) {
        QTimer::singleShot(200, &window, [&window, caption = options.click] {
            const QWidget* page = window.Pages()->Page(window.Pages()->CurrentPage());
            for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
                if (button->isVisible() && button->text() == caption) {
                    button->click();
                    break;
                }
            }
        });
    }
    if (!options.screenshot.isEmpty()) {
        QTimer::singleShot(options.after_ms, &window, [&window, file = options.screenshot] {
            if (!window.grab().save(file))
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            window.accept();
        });
    }
    if (!options.e2e_script.isEmpty()) {
        auto* status = dynamic_cast<CStatusDlg*>(window.Pages()->Page(PAGE_STATUS));
        auto* bridge = dynamic_cast<CBridgeDlg*>(window.Pages()->Page(PAGE_BRIDGE));
        if (!status || !RunStatusScript(window, *status, bridge, options.e2e_script))
            std::fprintf(stderr, "cannot run %s\n", qPrintable(options.e2e_script));
    }
}

}  // namespace fk::testdriver
