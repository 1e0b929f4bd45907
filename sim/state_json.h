// Every radio's state as JSON, for tests that assert what actually landed on a radio
// and how often each command arrived.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "sim/sim_radio.h"

namespace fk::sim {

// `searches` counts the search datagrams heard, keyed "source->destination". Bytes of
// a text that are not part of a whole UTF-8 character are left out, so a name cut
// inside a character still gives valid JSON.
std::string StateJson(const std::vector<SimRadio>& radios, Clock now,
                      const std::map<std::string, int>& searches = {});

}  // namespace fk::sim
