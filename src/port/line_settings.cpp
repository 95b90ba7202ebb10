#include "port/line_settings.h"

#include <charconv>
#include <optional>
#include <vector>

namespace kxlt::port {

namespace {

using protocol::Refusal;

std::vector<std::string_view> splitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

std::optional<int> wholeNumber(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<Parity> parityFromLetter(std::string_view text)
{
    if (text.size() != 1)
        return std::nullopt;
    switch (text[0] | 0x20) {
    case 'n': return Parity::None;
    case 'e': return Parity::Even;
    case 'o': return Parity::Odd;
    case 'm': return Parity::Mark;
    case 's': return Parity::Space;
    default: return std::nullopt;
    }
}

std::optional<StopBits> stopBitsFromText(std::string_view text)
{
    if (text == "1")
        return StopBits::One;
    if (text == "1.5")
        return StopBits::OneAndHalf;
    if (text == "2")
        return StopBits::Two;
    return std::nullopt;
}

} // namespace

protocol::Parsed<LineSettings> parseLineSettings(std::string_view text)
{
    const auto fields = splitFields(text);
    if (fields.size() != 4)
        return Refusal{"Line settings read \"baud,parity,data bits,stop bits\"."};

    const auto baud = wholeNumber(fields[0]);
    if (!baud || *baud <= 0)
        return Refusal{"Unknown baud rate \"" + std::string(fields[0]) + "\"."};
    const auto parity = parityFromLetter(fields[1]);
    if (!parity)
        return Refusal{"Parity is one of N, E, O, M, S."};
    const auto dataBits = wholeNumber(fields[2]);
    if (!dataBits || *dataBits < 5 || *dataBits > 8)
        return Refusal{"Data bits are 5 to 8."};
    const auto stopBits = stopBitsFromText(fields[3]);
    if (!stopBits)
        return Refusal{"Stop bits are 1, 1.5 or 2."};
    return LineSettings{*baud, *parity, *dataBits, *stopBits};
}

} // namespace kxlt::port
