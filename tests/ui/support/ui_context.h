// What a page or window is built with in a test: a recording link, a recording
// prompter and a store in a scratch directory.
#pragma once

#include <QTemporaryDir>
#include <memory>

#include "store/sql_management.h"
#include "support/recording_link.h"
#include "support/recording_prompter.h"
#include "ui/page.h"

namespace fk::test {

struct TestUiContext {
    QTemporaryDir dir;
    RecordingLink link;
    RecordingPrompter prompter;
    std::unique_ptr<CSqlManagement> store =
        std::make_unique<CSqlManagement>(dir.path().toStdString(), &prompter);
    UiContext context{link, *store, prompter};
};

}  // namespace fk::test
