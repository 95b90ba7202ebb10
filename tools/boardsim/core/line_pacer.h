#pragma once

#include "instant.h"

#include <chrono>
#include <cstddef>
#include <optional>

namespace boardsim {

struct Pacing {
    unsigned baud = 0;         // 0: bytes leave as fast as the line takes them
    std::size_t chunkSize = 0; // 0: no pieces
    std::chrono::milliseconds chunkGap{10};
};

// When queued bytes are due on the line. Bytes queued on an idle line start a burst; bytes queued
// while others still wait join it. Every byte is due relative to the start of its burst, so a late
// writer catches up instead of drifting.
class LinePacer {
public:
    explicit LinePacer(const Pacing& pacing);

    void push(std::size_t count, Instant now);

    // How many of the waiting bytes are due at now.
    std::size_t dueCount(Instant now) const;

    // When the next waiting byte is due; nothing if none waits.
    std::optional<Instant> nextDueAt() const;

    void sent(std::size_t count);

private:
    Instant dueAt(std::size_t indexInBurst) const;

    Pacing pacing_;
    Instant burstStart_{};
    std::size_t sentInBurst_ = 0;
    std::size_t waiting_ = 0;
    // A burst may not start before the pause after the previous one's last piece has passed.
    Instant idleFrom_{};
};

} // namespace boardsim
