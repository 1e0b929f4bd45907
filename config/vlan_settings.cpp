#include "config/vlan_settings.h"

#include <cstring>

#include "app/language.h"
#include "config/number_text.h"
#include "protocol/model_capabilities.h"

namespace fk {
namespace {

constexpr std::size_t kRecordVlanOffset = offsetof(ap_report_stu, vlan_en);
constexpr std::size_t kHeadSize = 10;
constexpr std::size_t kFlagOffset = 8;
constexpr long kLowestId = 1;
constexpr long kHighestId = 4094;

void Put16(vlan_set_stu& block, std::size_t at, long value) {
    block[at] = static_cast<std::uint8_t>(value & 0xFF);
    block[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// The field passes when it starts with a number from 1 to 4094.
std::optional<PaneRejection> CheckRange(const std::string& text, const char* label, int field,
                                        long& value) {
    value = LeadingNumber(text);
    if (value >= kLowestId && value <= kHighestId) return std::nullopt;
    return PaneRejection{Translate(label) + " " + Translate(FK_TR("range:1-4094")), "",
                         MsgIcon::Warning, field};
}

struct IdField {
    const std::string VlanPaneInput::*text;
    const char* label;
    int field;
    std::size_t offset;  // in the block
};

std::vector<IdField> FieldsToWrite(const VlanLayout& layout) {
    std::vector<IdField> fields = {{&VlanPaneInput::manage, FK_TR("VLAN"), kVlanFieldManage, 2},
                                   {&VlanPaneInput::wlan, FK_TR("WLAN"), kVlanFieldWlan, 4}};
    if (layout.pvid) fields.push_back({&VlanPaneInput::pvid, FK_TR("PVID"), kVlanFieldPvid, 12});
    if (layout.lan2) fields.push_back({&VlanPaneInput::lan2, layout.lan2_label, kVlanFieldLan2, 6});
    if (layout.lan3) fields.push_back({&VlanPaneInput::lan3, FK_TR("LAN3"), kVlanFieldLan3, 14});
    if (layout.lan4) fields.push_back({&VlanPaneInput::lan4, FK_TR("LAN4"), kVlanFieldLan4, 16});
    return fields;
}

}  // namespace

VlanLayout VlanLayoutFor(const ap_info_stu& record) {
    const ModelCapabilities& model = ModelByCode(record.ap_type);
    VlanLayout layout;
    layout.pvid = model.vlan_ports != VlanPorts::None;
    layout.lan2 = layout.pvid;
    layout.lan3 = layout.lan4 = model.vlan_ports == VlanPorts::ThreeLan;
    layout.lan2_label = model.vlan_ports == VlanPorts::OneLan ? FK_TR("LAN") : FK_TR("LAN2");
    layout.editable = record.report.work_mode == WORK_MODE_AP;
    layout.block_size = model.vlan_block_size;
    return layout;
}

std::size_t VlanBlockSize(int ap_type) {
    return ModelByCode(ap_type).vlan_block_size;
}

vlan_set_stu VlanBytes(const ap_info_stu& record) {
    vlan_set_stu block{};
    std::memcpy(block.data(),
                reinterpret_cast<const std::uint8_t*>(&record.report) + kRecordVlanOffset,
                kVlanBlockSize);
    return block;
}

VlanPaneInput VlanPaneShown(const ap_info_stu& record) {
    const ap_report_stu& r = record.report;
    return {r.vlan_en != 0,
            std::to_string(r.vlan_pvid),
            std::to_string(r.vlan_id),
            std::to_string(r.vlan_id_wlan),
            std::to_string(r.vlan_id_lan),
            std::to_string(r.vlan_id_lan3),
            std::to_string(r.vlan_id_lan4)};
}

VlanPaneResult CollectVlan(const ap_info_stu& record, const VlanPaneInput& in) {
    VlanPaneResult out;
    const vlan_set_stu stored = VlanBytes(record);
    out.block = stored;
    const VlanLayout layout = VlanLayoutFor(record);
    // A disabled tab carries the record's bytes: nothing to check, nothing changed.
    if (!layout.editable) return out;
    out.block[0] = in.enabled ? 1 : 0;
    if (in.enabled) {
        for (const IdField& f : FieldsToWrite(layout)) {
            long value = 0;
            out.rejection = CheckRange(in.*f.text, f.label, f.field, value);
            if (out.rejection) return out;
            Put16(out.block, f.offset, value);
        }
    }
    out.block[kFlagOffset] = stored[kFlagOffset];
    const std::size_t compared = layout.block_size;
    out.changed = !std::equal(out.block.begin(), out.block.begin() + compared, stored.begin());
    out.block[kFlagOffset] = 0;
    out.block[20] = out.block[21] = 0;
    return out;
}

}  // namespace fk
