#include "operations/batch_switch_dlg.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/language.h"

namespace fk {

namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

// The window's title and the caption beside its choices.
const char* Caption(SwitchKind kind) {
    return kind == SwitchKind::TransparentBridge ? FK_TR("Set Bridge") : FK_TR("Slotra");
}

}  // namespace

CSwitchSetMultiDlg::CSwitchSetMultiDlg(SwitchKind kind, int current_value, QWidget* parent)
    : CSkinFrameDlg(Caption(kind), parent), kind_(kind), value_(current_value != 0 ? 1 : 0) {
    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(T(Caption(kind)), this));
    enable_ = new QRadioButton(T("Enable"), this);
    disable_ = new QRadioButton(T("Disable_off"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(enable_);
    group->addButton(disable_);
    (value_ ? enable_ : disable_)->setChecked(true);
    choices->addWidget(enable_);
    choices->addWidget(disable_);
    Content()->addLayout(choices);

    save_ = AddButton(FK_TR("Save"));
    cancel_ = AddButton(FK_TR("Cancel"));

    connect(enable_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) value_ = 1;
    });
    connect(disable_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) value_ = 0;
    });
    connect(save_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace fk
