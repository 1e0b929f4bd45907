#include "ui/skin_static.h"

#include <QPalette>

#include "ui/skin.h"

namespace fk {

CSkinStatic::CSkinStatic(QWidget* parent) : CSkinStatic(QString(), parent) {}

CSkinStatic::CSkinStatic(const QString& text, QWidget* parent) : QLabel(text, parent) {
    const SkinValues& skin = CurrentSkin();
    setFont(ToQFont(skin.static_font));
    setAutoFillBackground(true);
    SetTextColor(skin.static_text_color);
    SetBackgroundColor(skin.static_bk_color);
}

void CSkinStatic::SetTextColor(ColorRef color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, ToQColor(color));
    setPalette(p);
}

void CSkinStatic::SetBackgroundColor(ColorRef color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(color));
    setPalette(p);
}

}  // namespace fk
