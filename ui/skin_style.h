// The program-wide widget style: the platform's own, with the timings the skin wants.
#pragma once

#include <QProxyStyle>

namespace fk {

class CSkinStyle : public QProxyStyle {
    Q_OBJECT
  public:
    // Title-strip buttons carry only a symbol; their tips must come up quickly.
    static constexpr int kToolTipDelayMs = 500;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* return_data = nullptr) const override;
};

}  // namespace fk
