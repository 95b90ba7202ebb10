#include "protocol/board_address.h"

#include <algorithm>

namespace kxlt::protocol {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

Parsed<std::uint8_t> parseBoardAddress(std::string_view text)
{
    const std::string_view digits = trimBlanks(text);
    if (digits.empty())
        return Refusal{"Type the board address: a whole number from 0 to 255."};
    if (!std::all_of(digits.begin(), digits.end(), isDigit))
        return Refusal{"The address takes decimal digits only: a whole number from 0 to 255."};

    unsigned value = 0;
    for (char c : digits) {
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 255)
            return Refusal{"The address must be a whole number from 0 to 255."};
    }
    return static_cast<std::uint8_t>(value);
}

} // namespace kxlt::protocol
