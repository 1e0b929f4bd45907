#include "service/tftp_options.h"

#include <algorithm>
#include <optional>
#include <string>

namespace fk::tftp {
namespace {

// Decimal digits only, at most nine of them: no sign, no blanks, nothing that could
// overflow. Anything else makes the option unknown to us, so it is left out.
std::optional<std::uint32_t> Number(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

// The client's value may be lowered (never raised) for the block size and the window.
std::optional<std::uint32_t> Lowered(const std::string& text, std::uint32_t low,
                                     std::uint32_t high) {
    const auto value = Number(text);
    if (!value || *value < low) return std::nullopt;
    return std::min(*value, high);
}

}  // namespace

Negotiation Negotiate(const std::vector<Option>& requested, std::uint64_t file_size,
                      const NegotiationLimits& limits) {
    Negotiation result;
    result.timeout = limits.default_timeout;
    std::optional<std::size_t> window_entry;
    auto seen = [&](const std::string& name) {
        return std::any_of(result.acknowledged.begin(), result.acknowledged.end(),
                           [&](const Option& o) { return o.name == name; });
    };
    for (const auto& option : requested) {
        if (seen(option.name)) continue;  // repeated: the first value taken counts
        if (option.name == "blksize") {
            if (auto v = Lowered(option.value, 8, limits.max_block_size)) {
                result.block_size = static_cast<std::uint16_t>(*v);
                result.acknowledged.push_back({option.name, std::to_string(*v)});
            }
        } else if (option.name == "windowsize") {
            if (auto v =
                    Lowered(option.value, 1, std::min<std::uint32_t>(limits.max_window, 65535))) {
                result.window_size = static_cast<std::uint16_t>(*v);
                window_entry = result.acknowledged.size();
                result.acknowledged.push_back({option.name, std::to_string(*v)});
            }
        } else if (option.name == "timeout") {
            // The interval cannot be bargained: accepted as asked, or left out.
            const auto v = Number(option.value);
            if (v && *v >= 1 && *v <= 255) {
                result.timeout = std::chrono::seconds(*v);
                result.timeout_fixed = true;
                result.acknowledged.push_back({option.name, std::to_string(*v)});
            }
        } else if (option.name == "tsize") {
            // A reading client sends 0 and learns the size; any number asks the same.
            if (Number(option.value)) {
                result.acknowledged.push_back({option.name, std::to_string(file_size)});
            }
        }
    }
    if (window_entry) {
        // The byte bound depends on the block size, which may come after the window.
        const std::uint32_t by_bytes =
            std::max<std::uint32_t>(1, limits.max_window_bytes / result.block_size);
        if (result.window_size > by_bytes) {
            result.window_size = static_cast<std::uint16_t>(by_bytes);
            result.acknowledged[*window_entry].value = std::to_string(by_bytes);
        }
    }
    return result;
}

}  // namespace fk::tftp
