#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kxlt::protocol {

// Appends the byte as two upper-case hexadecimal digits.
void appendHex(std::string& text, std::uint8_t byte);

// Every byte as two digits, each pair followed by `separator` when one is given.
std::string hexText(std::span<const std::uint8_t> bytes, std::string_view separator = {});

} // namespace kxlt::protocol
