#pragma once

#include "frame.h"
#include "instant.h"
#include "reply.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace boardsim {

// Settings every board on the line shares; only the address is each board's own.
struct BoardConfig {
    std::uint32_t serial = 123456;
    std::uint8_t version = 0x30;
    CharacterBytes characters = kKxltCharacters;
    // While running, the actual count rises by the increment once per step.
    std::chrono::milliseconds step{1000};
};

struct Counters {
    std::uint32_t goal = 0;
    std::uint32_t actual = 0;
    std::uint32_t increment = 1;
    std::uint32_t seconds = 0;
};

// The board's state and how it reacts to frames. Time is passed in, so counting can be driven
// by any clock.
class Board {
public:
    Board(const BoardConfig& config, std::uint8_t address);

    // Whether the board acts on this frame at all.
    bool isAddressed(const Frame& frame) const;

    // Applies the frame and returns the reply when the frame is a query this board answers.
    std::optional<Reply> handle(const Frame& frame, Instant now);

    std::uint8_t address() const { return address_; }

private:
    // Brings the counters up to date with the running time until now.
    void advanceTo(Instant now);
    void control(ControlCode code);
    Reply reply() const;

    BoardConfig config_;
    std::uint8_t address_;
    Counters counters_;
    bool running_ = false;
    Instant lastAdvance_;
    // Running time not yet turned into a whole step or a whole second.
    std::chrono::steady_clock::duration stepProgress_{};
    std::chrono::steady_clock::duration secondProgress_{};
};

} // namespace boardsim
