#pragma once

#include "instant.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace boardsim {

// Bytes waiting for the line. With a chunk size, they leave in pieces of at most that many
// bytes with a pause after each piece; the receive side keeps running meanwhile.
class OutgoingQueue {
public:
    // chunkSize 0 writes everything at once.
    OutgoingQueue(std::size_t chunkSize, std::chrono::milliseconds gap);

    void push(std::span<const std::uint8_t> bytes);

    // When the next piece may be written; nothing if the queue is empty.
    std::optional<Instant> nextWriteAt() const;

    // Writes the next piece without blocking; what the line does not take stays queued.
    void writeTo(int fd, Instant now);

private:
    std::size_t chunkSize_;
    std::chrono::milliseconds gap_;
    std::vector<std::uint8_t> pending_;
    Instant earliestWrite_{};
};

} // namespace boardsim
