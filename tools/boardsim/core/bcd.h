#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace boardsim {

// Packed BCD: two decimal digits per byte, most significant byte first.
std::optional<std::uint32_t> decodeBcd(std::span<const std::uint8_t> bytes);

// Writes the lowest 2 * bytes.size() decimal digits of value.
void encodeBcd(std::uint32_t value, std::span<std::uint8_t> bytes);

} // namespace boardsim
