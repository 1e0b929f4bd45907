// Numbers typed into digit fields: the number of the leading digits, as the windows
// read them. It saturates instead of overflowing, so "99999999999" can never wrap
// round into an accepted range.
#pragma once

#include <string_view>

namespace fk {

// -1 when the text does not start with a digit.
long LeadingNumber(std::string_view text);

}  // namespace fk
