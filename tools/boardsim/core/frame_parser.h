#pragma once

#include "frame.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

namespace boardsim {

struct MalformedBuffer {
    TransmitBuffer bytes;
    std::string_view reason;
};

// Bytes dropped while looking for the next sync byte.
struct SkippedBytes {
    std::vector<std::uint8_t> bytes;
};

using ParseEvent = std::variant<Frame, MalformedBuffer, SkippedBytes>;

// Cuts the received byte stream into transmit buffers, whatever the read boundaries.
// After a malformed buffer the search restarts right after its sync byte, because data bytes
// may themselves be 0xAA and the next real frame may start anywhere inside the rejected nine.
class FrameParser {
public:
    std::vector<ParseEvent> feed(std::span<const std::uint8_t> bytes);

    std::size_t malformedCount() const { return malformedCount_; }

private:
    std::vector<std::uint8_t> pending_;
    std::size_t malformedCount_ = 0;
};

} // namespace boardsim
