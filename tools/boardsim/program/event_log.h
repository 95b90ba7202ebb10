#pragma once

#include "frame.h"
#include "frame_parser.h"
#include "reply_faults.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace boardsim {

// Trace lines go to stdout, flushed one by one because readers often sit on a pipe.
// Malformed buffers are also reported on stderr, traced or not.
class EventLog {
public:
    explicit EventLog(bool trace);

    void received(const Frame& frame, bool addressed, std::span<const std::uint8_t> boardAddresses);
    void malformed(const MalformedBuffer& malformed, std::size_t count);
    void skipped(const SkippedBytes& skipped);
    // A reply as sent with its trailer; noise injected before it is traced first.
    void sent(std::span<const std::uint8_t> transmission, std::size_t boards,
              const ReplyDamage& damage, std::chrono::milliseconds quiet);
    void echoed(std::span<const std::uint8_t> bytes, std::chrono::milliseconds quiet);
    void noise(std::span<const std::uint8_t> burst, std::chrono::milliseconds quiet);
    void seed(std::uint64_t seed);
    void hungUp();

private:
    void trace(const std::string& line);

    bool trace_;
};

} // namespace boardsim
