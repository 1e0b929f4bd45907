#include "config/ip_settings.h"

namespace fk {
namespace {

std::string OrZero(const std::string& text) {
    return text.empty() ? "0.0.0.0" : text;
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
    out.ip_block = BuildIpBlock(IpTextToOctets(OrZero(in.ip)), IpTextToOctets(OrZero(in.mask)),
                                IpTextToOctets(OrZero(in.gateway)), IpTextToOctets(OrZero(in.dns1)),
                                IpTextToOctets(OrZero(in.dns2)), r.ip_flag);
    out.ip_changed = out.ip_block != RecordBlock(r);
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
