// Drives the status page of the running program from a small script, so end-to-end
// tests can press "Search", wait for the list and rename a device exactly as a user
// would, against simulated radios in a private network namespace.
//
// One command a line:
//   search                 press the search button
//   wait-rows N SECONDS    until the list holds N reported devices (fails at the deadline)
//   wait-idle SECONDS      until the search session has ended
//   rename MAC NAME...     edit the device's "Location" cell and press Enter
//   wait-senders SECONDS   until every command the page started has been handed over
//   dump FILE              write the list as lines of MAC, IP and name, tab separated
//   screenshot FILE        grab the window
//   tick-all               press the tick column's header
//   set-ip-screenshot FILE open the batch address window for the ticked rows, grab it
//   site-report PDF PNG    press "Site report…" answering PDF, draw its first page in PNG
//   wait-window SECONDS    until the management window is open
//   wait-closed SECONDS    until no window is open over the main window
//   page CODE              show the page with that code
//   bridge-open MAC        press the device's "Operate" cell on the bridge page
//   bridge-wait-survey SECONDS   until the open wizard's survey has listed its results
//   bridge-pick AP_MAC     mark the access point's row in the survey list
//   bridge-security ENTRY CIPHER [KEY]   choose the security entry ("Mixed" for the
//                          mixed entry), the cipher (AES, TKIP, TKIP&AES or -) and key
//   bridge-next            press "Next" (or "Save"); fails when the step does not change
//   bridge-shot FILE       grab the open wizard
//   bridge-close           press the wizard's close button
//   bridge-wait-status SECONDS MAC TEXT...  until the bridge page shows TEXT as status
//   bridge-wait-mode SECONDS MAC TEXT...    the same for the operating mode
//   quit                   end the program
// and the steps of testdriver/management_steps.h and testdriver/list_page_steps.h.
// Each step and any failure is written to standard error; a failure ends the script
// (the program stays until "quit" or its end).
#pragma once

#include <QString>

namespace fk {

class CApplicationDlg;
class CBridgeDlg;
class CStatusDlg;

namespace testdriver {

// Starts the script once the event loop runs; false when the file cannot be read.
// The bridge steps need `bridge`.
bool RunStatusScript(CApplicationDlg& window, CStatusDlg& page, CBridgeDlg* bridge,
                     const QString& path);

}  // namespace testdriver
}  // namespace fk
