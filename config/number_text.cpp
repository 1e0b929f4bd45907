#include "config/number_text.h"

namespace fk {

long LeadingNumber(std::string_view text) {
    constexpr long kCap = 1'000'000'000;
    if (text.empty() || text[0] < '0' || text[0] > '9') return -1;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > kCap) return kCap;
    }
    return value;
}

}  // namespace fk
