#include "config/choice_list.h"

#include "app/language.h"

namespace fk {

int ChoiceList::Find(int code) const {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].code == code) return static_cast<int>(i);
    return -1;
}

int ChoiceList::FindText(std::string_view text) const {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].text == text) return static_cast<int>(i);
    return -1;
}

std::string ChoiceList::Offered() const {
    std::string out;
    for (const ChoiceItem& item : items) out += (out.empty() ? "" : ", ") + item.text;
    return out.empty() ? "nothing" : out;
}

std::string ShownText(const ChoiceItem& item) {
    return item.translated ? Translate(item.text) : item.text;
}

}  // namespace fk
