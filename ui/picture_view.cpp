#include "ui/picture_view.h"

#include <QLabel>
#include <QPixmap>

#include "ui/skin.h"

namespace fk {

CPictureView::CPictureView(QWidget* parent) : QScrollArea(parent), picture_(new QLabel) {
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidget(picture_);
    setWidgetResizable(false);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setFrameShape(QFrame::NoFrame);
    ApplySkinBackground(*this);
    ApplySkinBackground(*viewport());
}

bool CPictureView::SetImageFile(const QString& path) {
    QPixmap pixmap;
    const bool loaded = pixmap.load(path);
    picture_->setPixmap(pixmap);
    picture_->resize(loaded ? pixmap.size() : QSize(0, 0));
    return loaded;
}

bool CPictureView::HasImage() const {
    return !picture_->pixmap().isNull();
}

QSize CPictureView::ImageSize() const {
    return picture_->pixmap().size();
}

}  // namespace fk
