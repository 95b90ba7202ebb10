#pragma once

#include "board.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace boardsim {

// What the line carries back after a frame: one reply, or several sent at once and collided.
struct LineAnswer {
    Reply reply;
    std::size_t boards = 1; // how many boards answered at once
};

// Several boards on one line. Each hears every frame and acts on its own, so set address moves
// them all and the identity query makes them all answer.
class SharedLine {
public:
    SharedLine(const BoardConfig& config, std::span<const std::uint8_t> addresses);

    // Whether any board acts on this frame.
    bool isAddressed(const Frame& frame) const;

    std::optional<LineAnswer> handle(const Frame& frame, Instant now);

    std::vector<std::uint8_t> addresses() const;

private:
    std::vector<Board> boards_;
};

} // namespace boardsim
