#include "protocol/model_capabilities.h"

#include <algorithm>
#include <array>

namespace fk {
namespace {

using B = BandwidthFamily;
using V = VlanPorts;
constexpr std::size_t kShort = kVlanBlockShort;
constexpr std::size_t kFull = kVlanBlockFull;

// clang-format off
constexpr std::array<ModelCapabilities, 25> kModels = {{
    // code  name     restricted bridge tdma   11ac   bandwidths test_skip vlan ports  vlan bytes
    {1,   "NX-01", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {2,   "NX-02", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {3,   "NX-03", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {4,   "NX-04", true,  false, false, false, B::Basic,  false, V::None,     kShort},
    {5,   "NX-05", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {6,   "NX-06", false, true,  true,  false, B::Narrow, false, V::None,     kShort},
    {7,   "NX-07", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {8,   "NX-08", false, true,  true,  false, B::Narrow, false, V::None,     kShort},
    {9,   "NX-09", false, true,  true,  false, B::Narrow, false, V::None,     kShort},
    {10,  "NX-10", false, true,  true,  true,  B::Wide,   true,  V::ThreeLan, kFull},
    {11,  "NX-11", false, true,  true,  true,  B::Wide,   true,  V::OneLan,   kFull},
    {257, "NQ-01", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {258, "NQ-02", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {259, "NQ-03", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {260, "NQ-04", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {261, "NQ-05", true,  false, false, false, B::Basic,  false, V::None,     kShort},
    {262, "NQ-06", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {263, "NQ-07", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {264, "NQ-08", false, true,  false, false, B::Basic,  false, V::None,     kShort},
    {265, "NQ-09", false, true,  true,  false, B::Narrow, false, V::None,     kShort},
    {266, "NQ-10", false, true,  true,  false, B::Narrow, false, V::None,     kShort},
    {267, "NQ-11", false, true,  true,  false, B::Narrow, false, V::None,     kShort},
    {268, "NQ-12", false, true,  true,  true,  B::Wide,   true,  V::ThreeLan, kFull},
    {269, "NQ-13", false, true,  true,  true,  B::Wide,   true,  V::ThreeLan, kFull},
    {270, "NQ-14", false, true,  true,  true,  B::Wide,   true,  V::OneLan,   kFull},
}};
// clang-format on

template <typename Match>
const ModelCapabilities& FindOrFirst(Match match) {
    const auto* found = std::find_if(kModels.begin(), kModels.end(), match);
    return found == kModels.end() ? kModels.front() : *found;
}

}  // namespace

std::span<const ModelCapabilities> KnownModels() {
    return kModels;
}

const ModelCapabilities& ModelByCode(int code) {
    return FindOrFirst([code](const ModelCapabilities& m) { return m.code == code; });
}

const ModelCapabilities& ModelByName(std::string_view name) {
    return FindOrFirst([name](const ModelCapabilities& m) { return m.name == name; });
}

}  // namespace fk
