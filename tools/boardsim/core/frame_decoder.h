#pragma once

#include "frame.h"

#include <string_view>
#include <variant>

namespace boardsim {

struct Rejection {
    std::string_view reason;
};

// Validates one transmit buffer that begins with the sync byte: function code, layout pattern,
// check byte and trailing 0x00.
std::variant<Frame, Rejection> decodeTransmitBuffer(const TransmitBuffer& buffer);

} // namespace boardsim
