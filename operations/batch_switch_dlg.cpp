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

}  // namespace

CSwitchSetMultiDlg::CSwitchSetMultiDlg(SwitchKind kind, int current_value, QWidget* parent)
    : CSkinDialog(parent), kind_(kind), value_(current_value != 0 ? 1 : 0) {
    const char* caption =
        kind == SwitchKind::TransparentBridge ? FK_TR("Set Bridge") : FK_TR("Slotra");
    setWindowTitle(T(caption));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(T(caption), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);

    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(T(caption), this));
    enable_ = new QRadioButton(T("Enable"), this);
    disable_ = new QRadioButton(T("Disable_off"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(enable_);
    group->addButton(disable_);
    (value_ ? enable_ : disable_)->setChecked(true);
    choices->addWidget(enable_);
    choices->addWidget(disable_);
    layout->addLayout(choices);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    save_ = new QPushButton(T("Save"), this);
    cancel_ = new QPushButton(T("Cancel"), this);
    buttons->addWidget(save_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

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
