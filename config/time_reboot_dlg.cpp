#include "config/time_reboot_dlg.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "app/language.h"

namespace fk {
namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

QLineEdit* DigitField(const std::string& text, QWidget* parent) {
    auto* field = new QLineEdit(QString::fromStdString(text), parent);
    field->setMaxLength(2);
    field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), field));
    field->setMaximumWidth(48);
    return field;
}

}  // namespace

CTimeRebootDlg::CTimeRebootDlg(const reboot_set_stu& bytes, QWidget* parent) : QWidget(parent) {
    const RebootPaneInput shown = RebootPaneShown(bytes);
    auto* form = new QFormLayout(this);
    enable_ = new QCheckBox(T("Enable"), this);
    form->addRow(new QLabel(T("Time_to_restart"), this), enable_);

    auto* time = new QHBoxLayout;
    hour_ = DigitField(shown.hour, this);
    minute_ = DigitField(shown.minute, this);
    time->addWidget(hour_);
    time->addWidget(new QLabel(T("Hour"), this));
    time->addWidget(minute_);
    time->addWidget(new QLabel(T("Minutes"), this));
    time->addStretch(1);
    form->addRow(new QLabel(T("Restart_time"), this), time);

    auto* dates = new QGridLayout;
    for (int day = 0; day < 7; ++day) {
        days_[day] = new QCheckBox(T(kRebootDayKeys[day]), this);
        dates->addWidget(days_[day], day / 4, day % 4);
    }
    everyday_ = new QCheckBox(T("Everyday"), this);
    dates->addWidget(everyday_, 1, 3);
    form->addRow(new QLabel(T("Date"), this), dates);

    enable_->setChecked(shown.enabled);
    for (int day = 0; day < 7; ++day) days_[day]->setChecked(shown.days[day]);
    everyday_->setChecked(shown.everyday);
    // Locked after the days are ticked, so "Everyday" shows its seven days ticked and
    // locked without losing the ticks of a schedule that names some days.
    OnEnableToggled();
    connect(enable_, &QCheckBox::toggled, this, &CTimeRebootDlg::OnEnableToggled);
    connect(everyday_, &QCheckBox::toggled, this, &CTimeRebootDlg::OnEverydayToggled);
}

void CTimeRebootDlg::OnEnableToggled() {
    const bool on = enable_->isChecked();
    hour_->setEnabled(on);
    minute_->setEnabled(on);
    everyday_->setEnabled(on);
    for (QCheckBox* day : days_) day->setEnabled(on && !everyday_->isChecked());
}

void CTimeRebootDlg::OnEverydayToggled() {
    const bool all = everyday_->isChecked();
    for (QCheckBox* day : days_) day->setChecked(all);
    OnEnableToggled();
}

RebootPaneInput CTimeRebootDlg::Input() const {
    RebootPaneInput in;
    in.enabled = enable_->isChecked();
    in.hour = hour_->text().toStdString();
    in.minute = minute_->text().toStdString();
    for (int day = 0; day < 7; ++day) in.days[day] = days_[day]->isChecked();
    in.everyday = everyday_->isChecked();
    return in;
}

void CTimeRebootDlg::Focus(int field) {
    if (field == kRebootFieldHour) hour_->setFocus();
    if (field == kRebootFieldMinute) minute_->setFocus();
}

}  // namespace fk
