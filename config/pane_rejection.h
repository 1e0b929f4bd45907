// Why a pane of a configuration window refused its input: the text to show (already
// translated), the box it is shown in and the input to put the focus on. The window
// shows it; the headless program prints it and exits with the refusal code.
#pragma once

#include <string>

#include "app/prompter.h"
#include "config/validation.h"

namespace fk {

struct PaneRejection {
    std::string text;
    std::string title;
    MsgIcon icon = MsgIcon::Warning;
    int field = 0;  // the pane's own field numbering
};

// A failed validation as its window shows it.
PaneRejection RejectionOf(const ValidationResult& result, int field);
// A message key shown untitled with the warning icon.
PaneRejection Warning(const char* key, int field);

}  // namespace fk
