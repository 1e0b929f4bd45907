// Fetching a firmware image the way a radio does: a TFTP read from the controller's
// file server. Blocking; the simulator runs it off its event loop.
#pragma once

#include <cstdint>
#include <string>

namespace fk::sim {

struct FetchResult {
    bool ok = false;
    std::uint64_t bytes = 0;
    std::string error;
};

FetchResult FetchTftp(std::uint32_t server, std::uint16_t port, const std::string& file,
                      int timeout_s);

}  // namespace fk::sim
