// Building the radio population: a generator for groups of radios on one subnet, the
// key=value settings every radio understands, and the line-based config file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_radio.h"

namespace fk::sim {

struct RadioGroup {
    int count = 0;
    std::uint32_t base_ip = 0;  // host order
    int prefix = 24;
    std::string iface;
};

// `count` radios from `base_ip` up, numbered from `first_index` (which picks the MAC and
// the variety: every model code, both bands with modes and bandwidths of the model,
// every operating mode, countries with and without a table row, a radar channel,
// every security mode, Chinese, empty and cut names).
std::vector<SimRadio> GenerateGroup(const RadioGroup& plan, int first_index, Clock now);

// Applies one key=value setting; false with `error` set for an unknown key or bad value.
bool ApplySetting(SimRadio& radio, std::string_view key, std::string_view value,
                  std::string& error);
// Applies "key=value key=value ..." in order.
bool ApplySettings(SimRadio& radio, std::string_view settings, std::string& error);

// Radios chosen by a MAC text, an IP text, "#index" or "*".
std::vector<SimRadio*> SelectRadios(std::vector<SimRadio>& radios, std::string_view selector);

// Parses "key=value,key=value" (the --group argument) into a group.
bool ParseGroup(std::string_view text, RadioGroup& plan, std::string& error);

// A host that announces made-up radios: a new random MAC in every announcement, all
// from one address, `rate` a second, `count` in all (0: until the simulator stops).
struct StormPlan {
    std::uint32_t from = 0;  // host order
    int prefix = 24;
    std::string iface;
    int rate = 0;
    std::uint64_t count = 0;
};

// Parses "from=A,rate=N[,count=M][,prefix=P][,iface=IF]" (the --storm argument).
bool ParseStorm(std::string_view text, StormPlan& plan, std::string& error);

// Reads a config file: lines "group key=value...", "radio key=value..." (a radio of
// its own, settings over a plain default) and "set SELECTOR key=value..." (applied
// after every radio exists). A line starting with '#' is a comment.
bool LoadConfigFile(const std::string& path, std::vector<RadioGroup>& groups,
                    std::vector<std::string>& radio_lines, std::vector<std::string>& set_lines,
                    std::string& error);

SimRadio PlainRadio(int index, Clock now);

std::uint32_t ParseIp(std::string_view text, bool& ok);
std::string IpText(std::uint32_t ip);

}  // namespace fk::sim
