#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace boardsim {

// Upper-case hex bytes separated by single spaces, e.g. "AA F5 01".
std::string toHex(std::span<const std::uint8_t> bytes);

// Bytes written as pairs of hex digits in either case, with spaces allowed between pairs, e.g.
// "0D0A" or "0d 0a"; nothing when a pair is broken or a character is not a hex digit.
std::optional<std::vector<std::uint8_t>> fromHex(std::string_view text);

} // namespace boardsim
