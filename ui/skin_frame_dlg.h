// The frame every configuration window shares: a title strip with the skin's close
// button, the window's own controls, and a row of buttons at the bottom right. On a
// desktop without window decorations the close button is the only way out of a
// window, so every window built on this frame has one.
#pragma once

#include "ui/skin_dialog.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace fk {

class CImageButton;

class CSkinFrameDlg : public CSkinDialog {
    Q_OBJECT
  public:
    // `title_key` is the language key of the window's title and of its title strip.
    CSkinFrameDlg(const char* title_key, QWidget* parent);

    CImageButton* CloseButton() const { return close_; }
    QLabel* TitleLabel() const { return title_; }

    // The close button closes the window as cancelled; a window with work under way
    // ends that work first.
    virtual void OnCloseClicked();

  protected:
    // Where the window puts its own controls, between the title strip and the buttons.
    QVBoxLayout* Content() const { return content_; }
    // A button appended to the bottom row, in the order of the calls.
    QPushButton* AddButton(const char* caption_key);

  private:
    QLabel* title_ = nullptr;
    CImageButton* close_ = nullptr;
    QVBoxLayout* content_ = nullptr;
    QHBoxLayout* buttons_ = nullptr;
};

}  // namespace fk
