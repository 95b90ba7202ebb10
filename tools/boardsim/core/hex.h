#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace boardsim {

// Upper-case hex bytes separated by single spaces, e.g. "AA F5 01".
std::string toHex(std::span<const std::uint8_t> bytes);

} // namespace boardsim
