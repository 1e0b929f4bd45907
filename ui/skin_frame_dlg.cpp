#include "ui/skin_frame_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/language.h"
#include "ui/image_button.h"

namespace fk {
namespace {

QString T(const char* key) {
    return QString::fromStdString(Translate(key));
}

}  // namespace

CSkinFrameDlg::CSkinFrameDlg(const char* title_key, QWidget* parent) : CSkinDialog(parent) {
    setWindowTitle(T(title_key));
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    auto* strip = new QHBoxLayout;
    title_ = new QLabel(T(title_key), this);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    strip->addWidget(title_, 1);
    close_ = new CImageButton(this);
    close_->SetSkinImage(SkinImage::CloseConfig);
    strip->addWidget(close_, 0, Qt::AlignTop);
    layout->addLayout(strip);

    content_ = new QVBoxLayout;
    layout->addLayout(content_, 1);

    buttons_ = new QHBoxLayout;
    buttons_->addStretch(1);
    layout->addLayout(buttons_);

    connect(close_, &CImageButton::clicked, this, [this] { OnCloseClicked(); });
}

void CSkinFrameDlg::OnCloseClicked() {
    reject();
}

QPushButton* CSkinFrameDlg::AddButton(const char* caption_key) {
    auto* button = new QPushButton(T(caption_key), this);
    buttons_->addWidget(button);
    return button;
}

}  // namespace fk
