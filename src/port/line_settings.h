#pragma once

namespace kxlt::port {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    bool operator==(const LineSettings&) const = default;
};

// "9600,N,8,1": what every board speaks.
inline constexpr LineSettings kBoardLineSettings{};

} // namespace kxlt::port
