#include "protocol/no_local_network.h"

#include <string_view>
#include <utility>

#include "app/language.h"
#include "protocol/address_text.h"

namespace fk {
namespace {

constexpr std::uint32_t kMask24 = 0xFFFFFF00u;
constexpr std::uint32_t kSuggestedHost = 250;

}  // namespace

std::string AssumedSubnetText(const std::string& radio_ip) {
    return IpHostOrderToText(HostOrderOf(IpTextToOctets(radio_ip)) & kMask24) + "/24";
}

std::string SuggestedLocalAddress(const std::string& radio_ip) {
    const std::uint32_t radio = HostOrderOf(IpTextToOctets(radio_ip));
    std::uint32_t host = kSuggestedHost;
    if ((radio & ~kMask24) == host) ++host;
    return IpHostOrderToText((radio & kMask24) | host) + "/24";
}

std::string NoLocalNetworkText(const std::string& radio_ip, const std::string& adapter) {
    const std::string where =
        adapter.empty() ? Translate("the adapter the radio is cabled to") : adapter;
    std::string text = Translate("This PC has no address in {1}; add one to {2}, for example {3}");
    // Each place holder once, in whatever order the language pack puts them.
    const std::pair<const char*, std::string> parts[] = {{"{1}", AssumedSubnetText(radio_ip)},
                                                         {"{2}", where},
                                                         {"{3}", SuggestedLocalAddress(radio_ip)}};
    for (const auto& [mark, value] : parts) {
        const std::size_t at = text.find(mark);
        if (at != std::string::npos) text.replace(at, std::string_view(mark).size(), value);
    }
    return text;
}

}  // namespace fk
