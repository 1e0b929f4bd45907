#include "ui/skin_style.h"

namespace fk {

int CSkinStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                          QStyleHintReturn* return_data) const {
    if (hint == SH_ToolTip_WakeUpDelay) return kToolTipDelayMs;
    return QProxyStyle::styleHint(hint, option, widget, return_data);
}

}  // namespace fk
