// Script steps on whichever list page is shown, for the pages that act on ticked rows
// (reboot, restore): switch page, tick rows, answer the question box, press a button
// whose modal windows must not hold the script up, follow cells, and grab the main
// window with the windows open over it.
//
//   show-page CODE                      switch to the page as its navigation button does and
//                                       wait for the refresh that follows a switch
//   tick MAC                            tick the row of MAC on the page shown
//   answer-next ok|cancel               the next question box gets that answer (10 s)
//   press CAPTION...                    press the button with that caption on the page
//   wait-cell MAC HEADER TEXT SECONDS   until the row's cell under HEADER reads TEXT
//   wait-batch SECONDS                  until the page's reboot or restore batch has ended
//   wait-progress N SECONDS             until the batch's wait window stands at N ticks
//   scroll-to HEADER                    scroll the grid until that column shows
//   dump-page FILE                      the header and every row, cells tab separated
//   screenshot-all FILE                 the main window with its open windows drawn over it
//   wait-upgrade-window SECONDS         until the upgrade window is open
//   upgrade-choose PATH [MODEL]         the file (as the chooser would give it) and the type
//   upgrade-start                       press the window's Upgrade (answer-next first)
//   wait-upgrade-phase transfer|write S until the window shows that phase
//   wait-upgrade-closed SECONDS         until the upgrade window has closed
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace fk {

class CApplicationDlg;

namespace testdriver {

struct ScriptStep {
    enum class Kind { Unknown, Done, Failed, Wait };
    Kind kind = Kind::Unknown;
    QString failure;
    int seconds = 0;
    std::function<bool()> until;
};

ScriptStep RunListPageStep(CApplicationDlg& window, const QStringList& words);

}  // namespace testdriver
}  // namespace fk
