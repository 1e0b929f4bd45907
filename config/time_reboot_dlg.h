// The "TimeReboot" tab: on/off, the time of day and the days of the week; its Save
// rule is CollectTimedReboot.
#pragma once

#include <QWidget>
#include <array>

#include "config/timed_reboot.h"

class QCheckBox;
class QLineEdit;

namespace fk {

class CTimeRebootDlg : public QWidget {
    Q_OBJECT
  public:
    CTimeRebootDlg(const reboot_set_stu& bytes, QWidget* parent);

    RebootPaneInput Input() const;
    void Focus(int field);
    QCheckBox* EnableBox() const { return enable_; }
    QCheckBox* DayBox(int day) const { return days_[day]; }
    QCheckBox* EverydayBox() const { return everyday_; }
    QLineEdit* HourField() const { return hour_; }
    QLineEdit* MinuteField() const { return minute_; }

  private:
    void OnEnableToggled();
    void OnEverydayToggled();

    QCheckBox* enable_ = nullptr;
    QLineEdit* hour_ = nullptr;
    QLineEdit* minute_ = nullptr;
    std::array<QCheckBox*, 7> days_{};
    QCheckBox* everyday_ = nullptr;
};

}  // namespace fk
