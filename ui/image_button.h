// A button drawn from skin images, one per state (normal, mouse over, pressed,
// disabled), with its caption in the skin's button font. A selected button (the
// navigation entry of the current page) is drawn pressed. A caption wider than its
// area is drawn in a smaller size of the same font, and cut with an ellipsis only
// where even the smallest size is too wide.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QPixmap>

#include "app/skin_values.h"

namespace fk {

class CImageButton : public QAbstractButton {
    Q_OBJECT
  public:
    enum class State { Normal, Hover, Pressed, Disabled };

    explicit CImageButton(QWidget* parent = nullptr);

    // A null image falls back to the normal one.
    void SetImages(const QPixmap& normal, const QPixmap& hover, const QPixmap& pressed,
                   const QPixmap& disabled);
    // Normal and disabled from `normal`, mouse over and pressed from `down`.
    void SetSkinImages(SkinImage normal, SkinImage down);
    // The same image for every state.
    void SetSkinImage(SkinImage image);

    // Caption font and colours; by default the skin's button group.
    void SetCaptionStyle(const QFont& font, const QColor& normal, const QColor& down);
    // Where the caption starts when the image carries a symbol at its left.
    void SetCaptionIndent(int pixels);
    void SetCaptionAlignment(Qt::Alignment alignment);
    // Selected captions of the navigation are drawn bold.
    void SetBoldWhenSelected(bool bold);

    void SetSelected(bool selected);
    bool IsSelected() const { return selected_; }

    State CurrentState() const;
    QSize sizeHint() const override;

    // What the caption is drawn with in the current state: its area, its font (bold
    // when selected, shrunk to the area) and its text (elided only as a last resort).
    QRect CaptionArea() const;
    QFont CaptionFont() const;
    QString CaptionText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    const QPixmap& ImageFor(State state) const;
    QFont StateFont() const;

    QPixmap images_[4];
    QFont caption_font_;
    QColor caption_color_;
    QColor caption_down_color_;
    Qt::Alignment caption_alignment_ = Qt::AlignCenter;
    int caption_indent_ = 0;
    bool bold_when_selected_ = false;
    bool selected_ = false;
};

// The largest pixel size of `font`, at most its own, at which `text` fits in `width`
// pixels; the smallest allowed size when none does.
QFont FitCaptionFont(QFont font, const QString& text, int width);

}  // namespace fk
