#include "ui/menu_dlg.h"

#include <QPainter>
#include <algorithm>
#include <limits>

#include "app/language.h"
#include "ui/image_button.h"
#include "ui/skin.h"
#include "ui/skin_static.h"
#include "ui/translate_widgets.h"

namespace fk {
namespace {

constexpr int kFootHeight = 28;
constexpr int kIconIndent = 50;

}  // namespace

CMenuDlg::CMenuDlg(const std::string& version_text, QWidget* parent) : QWidget(parent) {
    const SkinValues& skin = CurrentSkin();
    ApplySkinBackground(*this);
    for (std::size_t i = 0; i < kNavigationEntries.size(); ++i) {
        auto* button = new CImageButton(this);
        // The status page has its own symbol; the other pages share the wireless one.
        if (i == 0)
            button->SetSkinImages(SkinImage::MenuSearchNormal, SkinImage::MenuSearchDown);
        else
            button->SetSkinImages(SkinImage::MenuWirelessNormal, SkinImage::MenuWirelessDown);
        button->SetCaptionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        button->SetCaptionIndent(kIconIndent);
        button->SetBoldWhenSelected(true);
        button->setText(QString::fromUtf8(kNavigationEntries[i].caption_key));
        button->setObjectName(QStringLiteral("nav%1").arg(kNavigationEntries[i].command_id));
        connect(button, &CImageButton::clicked, this, [this, i] { Press(i); });
        button->setGeometry(0, static_cast<int>(i) * kButtonHeight, button->sizeHint().width(),
                            kButtonHeight);
        buttons_[i] = button;
    }
    foot_ = new CSkinStatic(QString::fromStdString(version_text), this);
    foot_->SetTextColor(skin.static_text_number_color);
    foot_->SetBackgroundColor(skin.static_bk_color);
    foot_->setAutoFillBackground(false);
    foot_->setAlignment(Qt::AlignCenter);

    TranslateWindow(this);
    FitCaptions();
    Select(PAGE_STATUS);
}

// One size for the whole column, the largest at which every caption fits even in bold
// (any entry may become the selected one): captions of mixed sizes would look like
// different kinds of entry.
void CMenuDlg::FitCaptions() {
    const SkinValues& skin = CurrentSkin();
    const QFont bold = ToQFont(skin.button_menu_font, QFont::Bold);
    int pixels = std::numeric_limits<int>::max();
    for (const CImageButton* button : buttons_) {
        const int fits =
            FitCaptionFont(bold, button->text(), button->CaptionArea().width()).pixelSize();
        pixels = std::min(pixels, fits);
    }
    QFont font = ToQFont(skin.button_menu_font);
    font.setPixelSize(pixels);
    for (CImageButton* button : buttons_)
        button->SetCaptionStyle(font, ToQColor(skin.button_menu_font_color),
                                ToQColor(skin.text_down_color));
}

void CMenuDlg::Select(int page_code) {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->SetSelected(kNavigationEntries[i].page_code == page_code);
}

int CMenuDlg::SelectedPage() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->IsSelected()) return kNavigationEntries[i].page_code;
    return 0;
}

void CMenuDlg::Press(std::size_t position) {
    const int code = kNavigationEntries[position].page_code;
    Select(code);
    emit pageChosen(code);
}

void CMenuDlg::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    const QPixmap background = SkinPixmap(SkinImage::MenuBackground);
    if (background.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(rect(), background);
}

void CMenuDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    foot_->setGeometry(0, height() - kFootHeight, width(), kFootHeight);
}

}  // namespace fk
