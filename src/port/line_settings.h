#pragma once

#include "protocol/parsed.h"

#include <string_view>

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

// Reads "baud,parity,data,stop", for instance "9600,N,8,1" or "19200,E,7,1.5".
protocol::Parsed<LineSettings> parseLineSettings(std::string_view text);

} // namespace kxlt::port
