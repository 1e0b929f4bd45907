// The start-up of the desktop program, shared by the shipped `fieldkit` and the
// `fieldkit-testdriver` that tests and screenshots run: the process comes up in a
// fixed order, the main window runs until it closes, and everything goes down again
// in the reverse order, also when the process is asked to end by a signal.
#pragma once

#include <QStringList>
#include <functional>

namespace fk {

class CApplicationDlg;

// Called once the main window is built and before its event loop runs, with the
// program's arguments.
using DesktopHook = std::function<void(CApplicationDlg& window, const QStringList& arguments)>;

// Runs the desktop program; returns the process's exit code.
int RunDesktop(int argc, char** argv, const DesktopHook& hook = {});

}  // namespace fk
