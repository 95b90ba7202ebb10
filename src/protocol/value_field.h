#pragma once

#include "protocol/parsed.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kxlt::protocol {

// Three data bytes of a goal, actual or increment frame: the typed digits right-aligned in six
// positions and packed two to a byte, most significant byte first ("3500" -> 00 35 00).
using ValueField = std::array<std::uint8_t, 3>;

inline constexpr std::size_t kMaxValueDigits = 6;

// Refuses empty text, more than six characters and any character that is not a hexadecimal digit.
Parsed<ValueField> encodeValueField(std::string_view text);

} // namespace kxlt::protocol
