#include "ui/skin_dialog.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/skin.h"

namespace fk {

CSkinDialog::CSkinDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {
    ApplySkinBackground(*this);
}

void CSkinDialog::SetBackgroundImage(const QPixmap& image) {
    background_ = image;
    update();
}

void CSkinDialog::SetBackgroundImage(SkinImage image) {
    SetBackgroundImage(SkinPixmap(image));
}

void CSkinDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (background_.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

void CSkinDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

}  // namespace fk
