#pragma once

#include "protocol/parsed.h"

#include <cstdint>
#include <string_view>

namespace kxlt::protocol {

// Reads the address box: a whole decimal number from 0 to 255, blanks around the digits allowed.
Parsed<std::uint8_t> parseBoardAddress(std::string_view text);

} // namespace kxlt::protocol
