// A caption in the skin's static-text font and colours.
#pragma once

#include <QLabel>

#include "app/skin_values.h"

namespace fk {

class CSkinStatic : public QLabel {
    Q_OBJECT
  public:
    explicit CSkinStatic(QWidget* parent = nullptr);
    CSkinStatic(const QString& text, QWidget* parent = nullptr);

    void SetTextColor(ColorRef color);
    void SetBackgroundColor(ColorRef color);
};

}  // namespace fk
