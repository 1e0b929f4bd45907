// The navigation panel: one button per page, the current page's button selected,
// and the program version at its foot.
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "ui/navigation_table.h"

namespace fk {

class CImageButton;
class CSkinStatic;

class CMenuDlg : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kButtonHeight = 46;

    CMenuDlg(const std::string& version_text, QWidget* parent = nullptr);

    // Marks the button of `page_code` as the only selected one; unknown codes clear all.
    void Select(int page_code);
    int SelectedPage() const;

    CImageButton* Button(std::size_t position) const { return buttons_[position]; }
    CSkinStatic* FootLabel() const { return foot_; }

  signals:
    // A navigation button was pressed.
    void pageChosen(int page_code);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Press(std::size_t position);
    void FitCaptions();

    std::array<CImageButton*, kNavigationEntries.size()> buttons_{};
    CSkinStatic* foot_ = nullptr;
};

}  // namespace fk
