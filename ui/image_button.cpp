#include "ui/image_button.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include "ui/skin.h"

namespace fk {
namespace {

// Below this a Latin caption stops being readable at the usual screen densities.
constexpr int kMinCaptionPixels = 9;

}  // namespace

// The skin's images have fixed widths and its face is often missing (Arial on a
// Linux desktop): the substitute the system picks can be much wider, so the size
// that fits is measured with the font actually used.
QFont FitCaptionFont(QFont font, const QString& text, int width) {
    int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    font.setPixelSize(pixels);
    while (pixels > kMinCaptionPixels && QFontMetrics(font).horizontalAdvance(text) > width) {
        font.setPixelSize(--pixels);
    }
    return font;
}

CImageButton::CImageButton(QWidget* parent) : QAbstractButton(parent) {
    const SkinValues& skin = CurrentSkin();
    caption_font_ = ToQFont(skin.button_font);
    caption_color_ = ToQColor(skin.button_font_color);
    caption_down_color_ = ToQColor(skin.text_down_color);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void CImageButton::SetImages(const QPixmap& normal, const QPixmap& hover, const QPixmap& pressed,
                             const QPixmap& disabled) {
    images_[static_cast<int>(State::Normal)] = normal;
    images_[static_cast<int>(State::Hover)] = hover;
    images_[static_cast<int>(State::Pressed)] = pressed;
    images_[static_cast<int>(State::Disabled)] = disabled;
    updateGeometry();
    update();
}

void CImageButton::SetSkinImages(SkinImage normal, SkinImage down) {
    const QPixmap n = SkinPixmap(normal);
    const QPixmap d = SkinPixmap(down);
    SetImages(n, d, d, n);
}

void CImageButton::SetSkinImage(SkinImage image) {
    const QPixmap p = SkinPixmap(image);
    SetImages(p, p, p, p);
}

void CImageButton::SetCaptionStyle(const QFont& font, const QColor& normal, const QColor& down) {
    caption_font_ = font;
    caption_color_ = normal;
    caption_down_color_ = down;
    update();
}

void CImageButton::SetCaptionIndent(int pixels) {
    caption_indent_ = pixels;
    update();
}

void CImageButton::SetCaptionAlignment(Qt::Alignment alignment) {
    caption_alignment_ = alignment;
    update();
}

void CImageButton::SetBoldWhenSelected(bool bold) {
    bold_when_selected_ = bold;
    update();
}

void CImageButton::SetSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    update();
}

CImageButton::State CImageButton::CurrentState() const {
    if (!isEnabled()) return State::Disabled;
    if (isDown() || selected_) return State::Pressed;
    if (underMouse()) return State::Hover;
    return State::Normal;
}

QSize CImageButton::sizeHint() const {
    const QPixmap& normal = images_[static_cast<int>(State::Normal)];
    if (!normal.isNull()) return normal.deviceIndependentSize().toSize();
    return QSize(96, 32);
}

QRect CImageButton::CaptionArea() const {
    return rect().adjusted(caption_indent_, 0, 0, 0);
}

QFont CImageButton::StateFont() const {
    QFont font = caption_font_;
    if (selected_ && bold_when_selected_) font.setWeight(QFont::Bold);
    return font;
}

QFont CImageButton::CaptionFont() const {
    return FitCaptionFont(StateFont(), text(), CaptionArea().width());
}

QString CImageButton::CaptionText() const {
    return QFontMetrics(CaptionFont()).elidedText(text(), Qt::ElideRight, CaptionArea().width());
}

const QPixmap& CImageButton::ImageFor(State state) const {
    const QPixmap& image = images_[static_cast<int>(state)];
    return image.isNull() ? images_[static_cast<int>(State::Normal)] : image;
}

void CImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const State state = CurrentState();
    const QPixmap& image = ImageFor(state);
    // A disabled button without its own picture is told apart by fading the normal one.
    const bool fade =
        state == State::Disabled && images_[static_cast<int>(State::Disabled)].isNull();
    if (fade) painter.setOpacity(0.45);
    if (!image.isNull()) painter.drawPixmap(rect(), image);
    painter.setOpacity(state == State::Disabled ? 0.55 : 1.0);

    if (text().isEmpty()) return;
    painter.setFont(CaptionFont());
    const bool down = state == State::Hover || state == State::Pressed;
    painter.setPen(down ? caption_down_color_ : caption_color_);
    painter.drawText(CaptionArea(), static_cast<int>(caption_alignment_ | Qt::TextSingleLine),
                     CaptionText());
}

void CImageButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    update();
}

void CImageButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    update();
}

}  // namespace fk
