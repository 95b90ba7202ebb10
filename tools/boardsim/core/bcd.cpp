#include "bcd.h"

namespace boardsim {

std::optional<std::uint32_t> decodeBcd(std::span<const std::uint8_t> bytes)
{
    std::uint32_t value = 0;
    for (const std::uint8_t byte : bytes) {
        const unsigned high = byte >> 4;
        const unsigned low = byte & 0x0F;
        if (high > 9 || low > 9)
            return std::nullopt;
        value = value * 100 + high * 10 + low;
    }
    return value;
}

void encodeBcd(std::uint32_t value, std::span<std::uint8_t> bytes)
{
    for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte) {
        const unsigned low = value % 10;
        const unsigned high = value / 10 % 10;
        *byte = static_cast<std::uint8_t>(high << 4 | low);
        value /= 100;
    }
}

} // namespace boardsim
