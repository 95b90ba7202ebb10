#include "protocol/hex_text.h"

namespace kxlt::protocol {

void appendHex(std::string& text, std::uint8_t byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
}

std::string hexText(std::span<const std::uint8_t> bytes, std::string_view separator)
{
    std::string text;
    text.reserve(bytes.size() * (2 + separator.size()));
    for (std::uint8_t byte : bytes) {
        appendHex(text, byte);
        text += separator;
    }
    return text;
}

} // namespace kxlt::protocol
