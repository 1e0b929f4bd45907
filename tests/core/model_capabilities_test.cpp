#include "protocol/model_capabilities.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "store/display_codes.h"

namespace fk {
namespace {

using Rule = std::function<bool(const ModelCapabilities&)>;

// Every code a header can carry, so a rule that leaks to a neighbouring or unknown
// code is caught as well as one that misses a model.
constexpr int kLastCode = 0xffff;

TEST(ModelCapabilities, EachRuleHoldsForExactlyItsModels) {
    const std::set<int> wide = {10, 11, 268, 269, 270};
    const struct {
        const char* rule;
        Rule holds;
        std::set<int> codes;
    } cases[] = {
        {"restricted names", [](const auto& m) { return m.restricted_names; }, {4, 261}},
        {"no transparent bridge", [](const auto& m) { return !m.transparent_bridge; }, {4, 261}},
        {"tdma",
         [](const auto& m) { return m.tdma; },
         {6, 8, 9, 10, 11, 265, 266, 267, 268, 269, 270}},
        {"11ac", [](const auto& m) { return m.has_11ac; }, wide},
        {"narrow bandwidths",
         [](const auto& m) { return m.bandwidths == BandwidthFamily::Narrow; },
         {6, 8, 9, 265, 266, 267}},
        {"wide bandwidths", [](const auto& m) { return m.bandwidths == BandwidthFamily::Wide; },
         wide},
        {"test row skips channels", [](const auto& m) { return m.test_row_skips_channels; }, wide},
        {"full vlan block", [](const auto& m) { return m.vlan_block_size == kVlanBlockFull; },
         wide},
        {"three lan ports",
         [](const auto& m) { return m.vlan_ports == VlanPorts::ThreeLan; },
         {10, 268, 269}},
        {"one lan port",
         [](const auto& m) { return m.vlan_ports == VlanPorts::OneLan; },
         {11, 270}},
    };
    for (const auto& c : cases) {
        for (int code = 0; code <= kLastCode; ++code) {
            EXPECT_EQ(c.holds(ModelByCode(code)), c.codes.count(code) == 1)
                << c.rule << " for type " << code;
        }
    }
}

TEST(ModelCapabilities, RowsAgreeWithEachOther) {
    std::set<int> codes;
    std::set<std::string_view> names;
    for (const ModelCapabilities& m : KnownModels()) {
        EXPECT_TRUE(codes.insert(m.code).second) << "code " << m.code << " twice";
        EXPECT_TRUE(names.insert(m.name).second) << m.name << " twice";
        EXPECT_EQ(&ModelByCode(m.code), &m);
        EXPECT_EQ(&ModelByName(m.name), &m);
        EXPECT_EQ(ModelCode(ModelName(m.code)), m.code);
        EXPECT_EQ(ModelName(ModelCode(std::string(m.name))), m.name);
        // The port fields travel only in the full block.
        EXPECT_EQ(m.vlan_block_size == kVlanBlockFull, m.vlan_ports != VlanPorts::None) << m.name;
        EXPECT_TRUE(m.vlan_block_size == kVlanBlockFull || m.vlan_block_size == kVlanBlockShort);
        // The 80 MHz widths are 11ac widths.
        EXPECT_EQ(m.has_11ac, m.bandwidths == BandwidthFamily::Wide) << m.name;
    }
}

TEST(ModelCapabilities, UnknownCodesAndNamesGetTheCommonDefaults) {
    const ModelCapabilities& fallback = KnownModels().front();
    EXPECT_EQ(fallback.code, 1);
    EXPECT_FALSE(fallback.restricted_names || fallback.tdma || fallback.has_11ac ||
                 fallback.test_row_skips_channels);
    EXPECT_TRUE(fallback.transparent_bridge);
    EXPECT_EQ(fallback.bandwidths, BandwidthFamily::Basic);
    EXPECT_EQ(fallback.vlan_ports, VlanPorts::None);
    EXPECT_EQ(fallback.vlan_block_size, kVlanBlockShort);
    for (int code : {-1, 0, 12, 256, 271, kLastCode, kLastCode + 1}) {
        EXPECT_EQ(&ModelByCode(code), &fallback) << code;
    }
    for (const char* name : {"", "nx-10", "NX-10 ", "NQ-15"}) {
        EXPECT_EQ(&ModelByName(name), &fallback) << name;
    }
}

}  // namespace
}  // namespace fk
