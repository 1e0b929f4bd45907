// A drop-down list of a configuration tab as data: its items, each with the code it
// stands for, the selection and whether the user may change it. The code, never the
// position, is what a device is sent, so a rule can add an item anywhere.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fk {

struct ChoiceItem {
    std::string text;  // a language key, or a number shown as it is
    int code = 0;
    bool translated = true;
};

struct ChoiceList {
    std::vector<ChoiceItem> items;
    int selected = -1;  // -1: nothing selected
    bool enabled = true;

    bool HasSelection() const { return selected >= 0 && selected < static_cast<int>(items.size()); }
    // The selected item's code, or `fallback` when nothing is selected.
    int Code(int fallback) const { return HasSelection() ? items[selected].code : fallback; }
    // Position of the first item with `code`, or -1.
    int Find(int code) const;
    // Position of the item whose untranslated text is `text`, or -1.
    int FindText(std::string_view text) const;
    // The untranslated texts joined with ", ": what a refusal says is offered.
    std::string Offered() const;
};

// What the user sees for an item.
std::string ShownText(const ChoiceItem& item);

}  // namespace fk
