// Qt faces of the skin values: colours, fonts and images as the widgets use them.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>

#include "app/skin_values.h"

class QWidget;

namespace fk {

QColor ToQColor(ColorRef color);
// `weight` 0 keeps the face's normal weight; otherwise a 100..900 weight.
QFont ToQFont(const FontSpec& spec);
QFont ToQFont(const FontSpec& spec, int weight);

// The image of the running skin; a missing or unreadable file gives a null pixmap,
// which every skinned control simply does not draw.
QPixmap SkinPixmap(SkinImage image);
QIcon SkinIcon(SkinImage image);

// Fills a page or window with the skin's page colour.
void ApplySkinBackground(QWidget& widget);

}  // namespace fk
