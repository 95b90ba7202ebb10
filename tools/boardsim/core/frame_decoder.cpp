#include "frame_decoder.h"

#include "bcd.h"

#include <algorithm>
#include <span>

namespace boardsim {

namespace {

// A check byte equal to the sync byte would fake a frame start, so the line sends 0xAB instead.
constexpr std::uint8_t kCheckSubstitute = 0xAB;
constexpr std::uint8_t kPairLayoutEnd = 0xAB;

using Decoded = std::variant<Frame, Rejection>;

std::uint8_t lineCheck(std::span<const std::uint8_t> bytes)
{
    std::uint8_t check = 0;
    for (const std::uint8_t byte : bytes)
        check ^= byte;
    return check == kSyncByte ? kCheckSubstitute : check;
}

bool isControlCode(std::uint8_t code)
{
    return code == static_cast<std::uint8_t>(ControlCode::Start) ||
           code == static_cast<std::uint8_t>(ControlCode::Stop) ||
           code == static_cast<std::uint8_t>(ControlCode::Clear);
}

// AA code addr d1 d2 d3 00 check 00
Decoded decodeDataLayout(const TransmitBuffer& buffer, FunctionCode function)
{
    const std::span<const std::uint8_t> bytes(buffer);
    if (buffer[6] != 0x00)
        return Rejection{"byte 6 not 0x00"};
    if (buffer[7] != lineCheck(bytes.subspan(2, 5)))
        return Rejection{"bad check byte"};
    Frame frame{.function = function, .address = buffer[2], .bytes = buffer};
    if (function == FunctionCode::Control) {
        if (!isControlCode(buffer[3]))
            return Rejection{"unknown control code"};
        if (buffer[4] != 0x00 || buffer[5] != 0x00)
            return Rejection{"control data not 0x00"};
        frame.control = static_cast<ControlCode>(buffer[3]);
        return frame;
    }
    const auto value = decodeBcd(bytes.subspan(3, 3));
    if (!value)
        return Rejection{"value not BCD"};
    frame.value = *value;
    return frame;
}

// AA code p1 p2 p3 p4 check AB 00, where p1..p4 spell A and 255-A in a code-specific order.
Decoded decodePairLayout(const TransmitBuffer& buffer, FunctionCode function)
{
    const std::uint8_t a = buffer[2];
    const auto inverse = static_cast<std::uint8_t>(255 - a);
    const std::array<std::uint8_t, 4> pattern = function == FunctionCode::Query
                                                    ? std::array{a, inverse, a, inverse}
                                                    : std::array{a, a, inverse, inverse};
    if (!std::equal(pattern.begin(), pattern.end(), buffer.begin() + 2))
        return Rejection{"broken address pair"};
    if (buffer[6] != lineCheck(std::span(buffer).subspan(2, 4)))
        return Rejection{"bad check byte"};
    if (buffer[7] != kPairLayoutEnd)
        return Rejection{"byte 7 not 0xAB"};
    return Frame{.function = function, .address = a, .bytes = buffer};
}

} // namespace

std::variant<Frame, Rejection> decodeTransmitBuffer(const TransmitBuffer& buffer)
{
    const auto function = static_cast<FunctionCode>(buffer[1]);
    auto decodeLayout = decodeDataLayout;
    switch (function) {
    case FunctionCode::SetGoal:
    case FunctionCode::SetActual:
    case FunctionCode::SetIncrement:
    case FunctionCode::Control: break;
    case FunctionCode::Query:
    case FunctionCode::SetAddress: decodeLayout = decodePairLayout; break;
    default: return Rejection{"unknown function code"};
    }
    if (buffer[8] != 0x00)
        return Rejection{"bad trailing byte"};
    return decodeLayout(buffer, function);
}

} // namespace boardsim
