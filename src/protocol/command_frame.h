#pragma once

#include "protocol/value_field.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace kxlt::protocol {

inline constexpr std::size_t kFrameSize = 8;
// The frame plus one trailing 0x00: what every command hands to the port.
inline constexpr std::size_t kTransmitSize = 9;

using TransmitBuffer = std::array<std::uint8_t, kTransmitSize>;

inline constexpr std::uint8_t kStartByte = 0xAA;
inline constexpr std::uint8_t kEndByte = 0xAB;

enum class FunctionCode : std::uint8_t {
    SetGoal = 0xF0,
    SetActual = 0xF1,
    SetIncrement = 0xF2,
    Control = 0xF5,
    Query = 0xF9,
    SetAddress = 0xFB,
};

enum class ControlCode : std::uint8_t {
    Start = 0x11,
    Stop = 0x22,
    Clear = 0x33,
};

// The pair value of the information query, whatever address is typed.
inline constexpr std::uint8_t kIdentityPairValue = 0x63;

// The automatic test asks the board at the typed address once a second.
inline constexpr std::chrono::milliseconds kTestInterval{1000};

// Data-layout frames (start, stop, clear, the values) go out twice, so that a board that missed
// the first takes the second; the address-pair frames once.
int writesOf(const TransmitBuffer& buffer);

// XOR of the covered bytes; a result equal to the start byte is sent as 0xAB.
std::uint8_t checkByte(std::span<const std::uint8_t> covered);

// Data layout:
//   0 AA | 1 function | 2 address | 3..5 data | 6 00 | 7 check over 2..6 | (8 00)
TransmitBuffer controlFrame(std::uint8_t address, ControlCode code);
TransmitBuffer valueFrame(FunctionCode code, std::uint8_t address, const ValueField& value);

// Address-pair layout, A and its complement ~A:
//   0 AA | 1 F9 | 2 A | 3 ~A | 4 A | 5 ~A | 6 check over 2..5 | 7 AB | (8 00)
//   0 AA | 1 FB | 2 A | 3 A | 4 ~A | 5 ~A | 6 check over 2..5 | 7 AB | (8 00)
TransmitBuffer queryFrame(std::uint8_t pairValue);
TransmitBuffer setAddressFrame(std::uint8_t address);

// The eight frame bytes as the send box shows them: "AA F5 01 11 00 00 00 10 ".
std::string echoText(const TransmitBuffer& buffer);

} // namespace kxlt::protocol
