// Base of every skinned window: the skin's page colour, an optional background image,
// and Enter/Escape that never end the window on their own.
#pragma once

#include <QDialog>
#include <QPixmap>

#include "app/skin_values.h"

namespace fk {

class CSkinDialog : public QDialog {
    Q_OBJECT
  public:
    explicit CSkinDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    // Drawn at the top-left corner over the page colour; a null image draws nothing.
    void SetBackgroundImage(const QPixmap& image);
    void SetBackgroundImage(SkinImage image);

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Users type addresses and press Enter to move on, and press Escape in edit fields;
    // neither may silently close a configuration window and lose what was typed.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QPixmap background_;
};

}  // namespace fk
