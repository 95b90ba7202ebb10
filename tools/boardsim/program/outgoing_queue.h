#pragma once

#include "instant.h"
#include "line_pacer.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace boardsim {

// Bytes waiting for the line, sent when the pacing says they are due; the receive side keeps
// running meanwhile. Messages leave whole and in order, so nothing queued later lands inside one.
class OutgoingQueue {
public:
    // Told when a message's first byte has gone out, with how long the line was quiet before it.
    using FirstByteSent = std::function<void(std::chrono::milliseconds quiet)>;

    OutgoingQueue(const Pacing& pacing, Instant start);

    void push(std::span<const std::uint8_t> bytes, Instant now, FirstByteSent firstByteSent);

    bool empty() const { return pending_.empty(); }

    // When the next byte may be written; nothing if the queue is empty.
    std::optional<Instant> nextWriteAt() const { return pacer_.nextDueAt(); }

    // Writes every byte that is due, without blocking; what the line does not take stays queued.
    void writeTo(int fd, Instant now);

private:
    struct Message {
        std::uint64_t firstByte; // counted over everything ever queued
        FirstByteSent firstByteSent;
    };

    void reportStarted(std::size_t written, Instant now);

    LinePacer pacer_;
    std::vector<std::uint8_t> pending_;
    std::deque<Message> unstarted_;
    std::uint64_t writtenTotal_ = 0;
    Instant lastWrite_;
};

} // namespace boardsim
