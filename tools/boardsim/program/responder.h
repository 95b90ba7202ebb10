#pragma once

#include "event_log.h"
#include "frame_parser.h"
#include "options.h"
#include "outgoing_queue.h"
#include "reply_faults.h"
#include "shared_line.h"

#include <cstdint>
#include <span>
#include <vector>

namespace boardsim {

// What the line carries back for the bytes the tool sends: their echo first if the line echoes,
// then the boards' replies, damaged on schedule, each followed by the trailer. The seed gives
// the random bytes of the damage.
class Responder {
public:
    Responder(const Options& options, std::uint64_t seed, OutgoingQueue& outgoing, EventLog& log);

    void receive(std::span<const std::uint8_t> bytes, Instant now);

private:
    void handle(const Frame& frame, Instant now);
    void send(const LineAnswer& answer, Instant now);

    bool silent_;
    bool echo_;
    std::vector<std::uint8_t> trailer_;
    SharedLine boards_;
    FrameParser parser_;
    ReplyFaults faults_;
    OutgoingQueue& outgoing_;
    EventLog& log_;
};

} // namespace boardsim
