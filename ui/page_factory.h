// The one place that knows which class shows which page.
#pragma once

#include <functional>

#include "ui/page.h"

namespace fk {

// A new page for `code`, owned by `parent`; nullptr for an unknown code.
CPageBase* CreatePage(int code, const UiContext& context, QWidget* parent);

using PageFactory = std::function<CPageBase*(int code, const UiContext&, QWidget* parent)>;

}  // namespace fk
