// Datagrams from the LAN through the receivers' checks and the real inbound handlers,
// into the presence table and a store in a scratch folder; then the store is read
// back the way the pages read it. One input is a sequence of datagrams, each with the
// port it arrives on and one of a few source addresses, so that an announcement can
// be followed by its report, a keep-alive, a scan result or a command's answer.
//
// Input: repeated [selector byte][length, 2 bytes little-endian][datagram bytes].
// Selector bits 0-1: 0 announcement port, 1 keep-alive port, 2 reply port, 3 an ager
// tick (no datagram). Bits 2-3: the source address.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "protocol/inbound_handlers.h"
#include "protocol/outbound_link.h"
#include "protocol/packet.h"
#include "protocol/presence_table.h"
#include "store/sql_management.h"

namespace {

class CDiscardingLink final : public fk::IOutboundLink {
  public:
    bool SendToDevice(const std::string&, std::uint16_t, std::span<const std::uint8_t>,
                      const std::string&, bool) override {
        return true;
    }
    void Acknowledge(const std::string&, const std::string&, int) override {}
    void ScanPacketStored(int, int) override {}
    // As if every radio had been asked for a survey, so scan packets reach their decoder.
    bool SurveyExpected(const std::string&, const std::string&) const override { return true; }
};

std::string ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fk-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern + "/";
}

fk::CSqlManagement& Store() {
    static fk::CSqlManagement store(ScratchFolder());
    return store;
}

constexpr std::uint32_t kSources[] = {0xC6120014, 0xC6120015, 0xC6120016, 0xC613FF01};

// The receivers queue on the announcement and keep-alive ports only the one type
// each port is for; the reply port takes every type.
bool AcceptedOn(int port, const fk::udp_packet_stu& element) {
    if (port == 0) return element.head().type == fk::MSG_DISCOVER;
    if (port == 1) return element.head().type == fk::MSG_KEEPALIVE;
    return true;
}

void ReadBackAsPages(fk::CSqlManagement& store) {
    std::vector<fk::ap_info_stu> page;
    int page_count = 0;
    int online = 0;
    store.QueryDevicePage(0, page, page_count, online, 50, 1, true, "");
    for (const auto& record : page) {
        fk::ap_info_stu again = fk::ZeroRecord();
        store.GetDevice(record.MacText(), again);
    }
    std::vector<fk::config_otherwl_basic> scans;
    store.GetScanList(0, scans, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fk::CSqlManagement& store = Store();
    CDiscardingLink link;
    fk::CPresenceTable presence(link, store);
    fk::CInboundHandlers handlers(presence, store, link);
    fk::fuzz::CInput input(data, size);
    while (!input.Empty()) {
        const std::uint8_t selector = input.Byte();
        const int port = selector & 3;
        if (port == 3) {
            presence.AgeOnce();
            continue;
        }
        const auto datagram = input.Piece();
        const auto element = fk::MakeQueueElement(datagram, kSources[(selector >> 2) & 3], 9999);
        if (!element || !AcceptedOn(port, *element)) continue;
        if (port == 0) handlers.OnAnnouncement(*element);
        if (port == 1) handlers.OnKeepalive(*element);
        if (port == 2) handlers.OnReply(*element);
    }
    ReadBackAsPages(store);
    // Every input starts from an empty store, so a crash replays from its input alone.
    store.ExecuteSql("delete from ap_info");
    store.ClearScanResults();
    return 0;
}
