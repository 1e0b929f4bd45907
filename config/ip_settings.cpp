#include "config/ip_settings.h"

#include <array>

namespace fk {
namespace {

// The five addresses as typed, each read exactly (an empty field is 0.0.0.0); nothing
// when one of them is not an address, so no block is ever built from a guess.
std::optional<std::array<Ipv4Octets, 5>> TypedAddresses(const IpPaneInput& in) {
    std::array<Ipv4Octets, 5> out{};
    const std::string* texts[5] = {&in.ip, &in.mask, &in.gateway, &in.dns1, &in.dns2};
    for (std::size_t i = 0; i < out.size(); ++i)
        if (!texts[i]->empty() && !ParseIpv4(*texts[i], out[i])) return std::nullopt;
    return out;
}

Ipv4Octets Octets(const std::uint8_t (&o)[4]) {
    return {o[0], o[1], o[2], o[3]};
}

std::string Text(const std::uint8_t (&o)[4]) {
    return IpOctetsToText(Octets(o));
}

// The record's own block, its ip_mode read as 1: a device that reported 0 has not
// been changed by a Save that leaves its addresses alone.
ip_set_stu RecordBlock(const ap_report_stu& r) {
    return BuildIpBlock(Octets(r.ip), Octets(r.ip_mask), Octets(r.ip_gateway), Octets(r.ip_dns1),
                        Octets(r.ip_dns2), r.ip_flag);
}

int FocusOf(ValidationField field) {
    switch (field) {
        case ValidationField::Mask:
            return kIpFieldMask;
        case ValidationField::Gateway:
            return kIpFieldGateway;
        case ValidationField::Dns1:
            return kIpFieldDns1;
        case ValidationField::Dns2:
            return kIpFieldDns2;
        default:
            return kIpFieldIp;
    }
}

std::optional<PaneRejection> CheckAddresses(const ap_info_stu& record, const IpPaneInput& in,
                                            const std::vector<std::string>& stored_ips) {
    const ValidationResult check = CheckIpSettings(in.ip, in.mask, in.gateway, in.dns1, in.dns2);
    if (!check) return RejectionOf(check, FocusOf(check.field));
    const ValidationResult free_address =
        CheckAddressNotInUse(in.ip, Octets(record.report.ip), stored_ips);
    if (!free_address) return RejectionOf(free_address, kIpFieldIp);
    return std::nullopt;
}

}  // namespace

IpPaneInput IpPaneShown(const ap_info_stu& record) {
    const ap_report_stu& r = record.report;
    return {Text(r.ip),      Text(r.ip_mask), Text(r.ip_gateway),
            Text(r.ip_dns1), Text(r.ip_dns2), std::string(r.ap_name.View())};
}

IpPaneResult CollectIpSettings(const ap_info_stu& record, const IpPaneInput& in,
                               const std::vector<std::string>& stored_ips) {
    IpPaneResult out;
    const ap_report_stu& r = record.report;
    const auto typed = TypedAddresses(in);
    if (typed) {
        const auto& a = *typed;
        out.ip_block = BuildIpBlock(a[0], a[1], a[2], a[3], a[4], r.ip_flag);
    }
    // A text that is not an address counts as a change, so the rules (which read every
    // field exactly too) refuse it and name the field.
    out.ip_changed = !typed || out.ip_block != RecordBlock(r);
    if (out.ip_changed) {
        out.rejection = CheckAddresses(record, in, stored_ips);
        if (out.rejection) return out;
    }
    out.ip_block[kIpBlockSize - 1] = 1;
    const ValidationResult name = CheckDeviceName(in.name, record.ap_type);
    if (!name) {
        out.rejection = RejectionOf(name, kIpFieldName);
        return out;
    }
    out.name_block = BuildNameBlock(in.name);
    out.name_changed = in.name != r.ap_name.View();
    return out;
}

}  // namespace fk
