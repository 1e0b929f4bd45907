// A page that only counts what the container asks of it.
#pragma once

#include <vector>

#include "ui/page.h"

namespace fk::test {

class CountingPage final : public CPageBase {
  public:
    CountingPage(int code, QWidget* parent) : CPageBase(parent), code_(code) {}
    int PageCode() const override { return code_; }
    void RefreshPage() override { ++refreshes; }
    void GoToPage(int index) override { pages_asked.push_back(index); }

    int refreshes = 0;
    std::vector<int> pages_asked;

  private:
    int code_;
};

}  // namespace fk::test
