#include "protocol/value_field.h"

#include <algorithm>
#include <optional>

namespace kxlt::protocol {

namespace {

std::optional<std::uint8_t> hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<std::uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<std::uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<std::uint8_t>(c - 'a' + 10);
    return std::nullopt;
}

} // namespace

Parsed<ValueField> encodeValueField(std::string_view text)
{
    if (text.empty())
        return Refusal{"Type a value of 1 to 6 digits."};
    if (!std::all_of(text.begin(), text.end(), [](char c) { return hexDigitValue(c).has_value(); }))
        return Refusal{"A value takes the digits 0-9 (or A-F), no blanks or signs."};
    if (text.size() > kMaxValueDigits)
        return Refusal{"A value has at most 6 digits."};

    // Nibble positions 0..5, left to right; the text fills the rightmost ones.
    ValueField field{};
    std::size_t position = kMaxValueDigits - text.size();
    for (char c : text) {
        const int shift = position % 2 == 0 ? 4 : 0;
        field[position / 2] =
            static_cast<std::uint8_t>(field[position / 2] | (*hexDigitValue(c) << shift));
        ++position;
    }
    return field;
}

} // namespace kxlt::protocol
