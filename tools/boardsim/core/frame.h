#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace boardsim {

// Every command reaches the line as 8 frame bytes followed by 0x00.
inline constexpr std::size_t kTransmitBufferSize = 9;
using TransmitBuffer = std::array<std::uint8_t, kTransmitBufferSize>;

inline constexpr std::uint8_t kSyncByte = 0xAA;

// Answered by every board whatever its address.
inline constexpr std::uint8_t kIdentityQueryAddress = 0x63;

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

// A transmit buffer that passed validation.
struct Frame {
    FunctionCode function;
    // Board address of a data-layout command, or the pair value A of a query / set address.
    std::uint8_t address;
    // Decoded six-digit value of a load (goal, actual, increment).
    std::uint32_t value = 0;
    ControlCode control = ControlCode::Start; // meaningful for FunctionCode::Control only
    TransmitBuffer bytes;
};

// Short human-readable meaning, e.g. "set goal 3500 addr 1" or "identity query".
std::string describe(const Frame& frame);

} // namespace boardsim
