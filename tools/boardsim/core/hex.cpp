#include "hex.h"

#include <charconv>

namespace boardsim {

std::string toHex(std::span<const std::uint8_t> bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        if (!text.empty())
            text += ' ';
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> fromHex(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = text.find_first_not_of(' '); at != std::string_view::npos;
         at = text.find_first_not_of(' ', at + 2)) {
        const std::string_view pair = text.substr(at, 2);
        std::uint8_t byte = 0;
        const char* end = pair.data() + pair.size();
        const auto [stop, error] = std::from_chars(pair.data(), end, byte, 16);
        if (pair.size() != 2 || error != std::errc{} || stop != end)
            return std::nullopt;
        bytes.push_back(byte);
    }
    return bytes;
}

} // namespace boardsim
