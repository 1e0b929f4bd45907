// Script steps on the management page and its window, for end-to-end runs and
// screenshots of the desktop program:
//   manage MAC             press the "Operate" cell of the device's row (the window opens)
//   tab NAME               wireless, ip, vlan or reboot
//   set KEY VALUE          name, ip, mask, gateway, vlan (on/off), manage-vlan, wlan-vlan,
//                          reboot (on/off), hour, minute, day (0 = Monday, ticks it);
//                          the wireless tab's ssid, ssid-hidden (on/off), power, psk,
//                          key-interval, wep-key1, radius-ip, radius-port, radius-key,
//                          radius-key-interval, and its lists by the text they show:
//                          net-mode, bandwidth, country, channel, ext-channel, security,
//                          wep-default
//   save                   press Save (the wait window may follow)
//   window-screenshot FILE grab the window on top
// The window is modal: steps reach it while its own event loop runs.
#pragma once

#include <QStringList>

namespace fk {

class CApplicationDlg;

namespace testdriver {

enum class StepResult { NotMine, Done, Later, Failed };

// `error` tells why a step failed. A step that returns Later has posted its action to
// the event loop; the script goes on once it ran.
StepResult RunManagementStep(CApplicationDlg& window, const QStringList& words, QString& error);

// The window on top: the management window, the wait window or nothing.
bool ManagementWindowOpen();
// Some window over the main one (which is itself modal) is open.
bool WindowOverMainOpen(const CApplicationDlg& window);

}  // namespace testdriver
}  // namespace fk
