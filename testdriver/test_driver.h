// What tests and documentation drive the desktop program with, kept out of the
// product's start-up: the options below do nothing unless given.
//
//   --screenshot FILE [--page CODE] [--click CAPTION] [--after-ms N]
//       shows page CODE, presses the button with that caption on it, grabs the main
//       window into FILE after N ms (1500 by default) and ends the program
//   --e2e-script FILE
//       runs a script on the status page (see testdriver/status_script.h)
#pragma once

#include <QStringList>

namespace fk {

class CApplicationDlg;

namespace testdriver {

// Call once the window is built and before its event loop runs.
void Install(CApplicationDlg& window, const QStringList& arguments);

}  // namespace testdriver
}  // namespace fk
