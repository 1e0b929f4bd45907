// An address field of any window: it takes only what can still become an exact IPv4
// address (four decimal octets 0 to 255, no leading zeros, nothing else), so the text
// a rule reads and the octets a command carries are the same address.
#pragma once

class QLineEdit;

namespace fk {

void MakeIpv4Field(QLineEdit* field);

}  // namespace fk
