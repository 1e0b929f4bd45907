#include "ui/skin.h"

#include <QPalette>
#include <QPixmapCache>
#include <QString>
#include <QWidget>

namespace fk {

QColor ToQColor(ColorRef color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

QFont ToQFont(const FontSpec& spec) {
    return ToQFont(spec, spec.weight);
}

QFont ToQFont(const FontSpec& spec, int weight) {
    QFont font(QString::fromStdString(spec.face));
    // Heights are given as character cell heights in pixels; a zero or negative height
    // means "the default size".
    if (spec.height > 0) font.setPixelSize(spec.height);
    if (weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 100, 900)));
    return font;
}

QPixmap SkinPixmap(SkinImage image) {
    const QString path = QString::fromStdString(CurrentSkin().ImagePath(image));
    QPixmap pixmap;
    if (!QPixmapCache::find(path, &pixmap)) {
        if (pixmap.load(path)) QPixmapCache::insert(path, pixmap);
    }
    return pixmap;
}

QIcon SkinIcon(SkinImage image) {
    const QString path = QString::fromStdString(CurrentSkin().ImagePath(image));
    return QIcon(path);
}

void ApplySkinBackground(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, ToQColor(CurrentSkin().child_bk_color));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

}  // namespace fk
