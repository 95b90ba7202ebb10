#include "protocol/command_frame.h"

#include "protocol/hex_text.h"

#include <span>

namespace kxlt::protocol {

namespace {

constexpr std::uint8_t complement(std::uint8_t value)
{
    return static_cast<std::uint8_t>(255 - value);
}

TransmitBuffer dataFrame(FunctionCode code, std::uint8_t address, const ValueField& data)
{
    TransmitBuffer buffer{};
    buffer[0] = kStartByte;
    buffer[1] = static_cast<std::uint8_t>(code);
    buffer[2] = address;
    buffer[3] = data[0];
    buffer[4] = data[1];
    buffer[5] = data[2];
    buffer[6] = 0x00;
    buffer[7] = checkByte(std::span(buffer).subspan(2, 5));
    return buffer;
}

TransmitBuffer addressPairFrame(FunctionCode code, std::array<std::uint8_t, 4> pair)
{
    TransmitBuffer buffer{};
    buffer[0] = kStartByte;
    buffer[1] = static_cast<std::uint8_t>(code);
    for (std::size_t i = 0; i < pair.size(); ++i)
        buffer[2 + i] = pair[i];
    buffer[6] = checkByte(std::span(buffer).subspan(2, 4));
    buffer[7] = kEndByte;
    return buffer;
}

} // namespace

std::uint8_t checkByte(std::span<const std::uint8_t> covered)
{
    std::uint8_t check = 0;
    for (std::uint8_t byte : covered)
        check ^= byte;
    return check == kStartByte ? kEndByte : check;
}

TransmitBuffer controlFrame(std::uint8_t address, ControlCode code)
{
    return dataFrame(FunctionCode::Control, address, {static_cast<std::uint8_t>(code), 0x00, 0x00});
}

TransmitBuffer valueFrame(FunctionCode code, std::uint8_t address, const ValueField& value)
{
    return dataFrame(code, address, value);
}

TransmitBuffer queryFrame(std::uint8_t pairValue)
{
    const std::uint8_t a = pairValue;
    return addressPairFrame(FunctionCode::Query, {a, complement(a), a, complement(a)});
}

TransmitBuffer setAddressFrame(std::uint8_t address)
{
    const std::uint8_t a = address;
    return addressPairFrame(FunctionCode::SetAddress, {a, a, complement(a), complement(a)});
}

std::string echoText(const TransmitBuffer& buffer)
{
    return hexText(std::span(buffer).first<kFrameSize>(), " ");
}

int writesOf(const TransmitBuffer& buffer)
{
    const auto code = static_cast<FunctionCode>(buffer[1]);
    return code == FunctionCode::Query || code == FunctionCode::SetAddress ? 1 : 2;
}

} // namespace kxlt::protocol
