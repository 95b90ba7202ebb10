#pragma once

#include "byte_recorder.h"
#include "event_log.h"
#include "frame_parser.h"
#include "noise_source.h"
#include "options.h"
#include "outgoing_queue.h"
#include "pseudo_terminal.h"
#include "reply_faults.h"
#include "shared_line.h"
#include "stop_signal.h"

#include <ctime>
#include <optional>

namespace boardsim {

// The boards on the line: reads what the tool sends, lets the boards react and queues their
// replies, with noise between them if asked for.
class Simulator {
public:
    Simulator(const Options& options, const PseudoTerminal& line, const StopSignal& stop);

    // Returns on a stop signal or when the hang-up time has come.
    void run();

private:
    Simulator(const Options& options, const PseudoTerminal& line, const StopSignal& stop,
              Instant start);

    void receive(Instant now);
    void handle(const Frame& frame, Instant now);
    void sendAnswer(const LineAnswer& answer, Instant now);
    void sendNoise(Instant now);
    std::optional<timespec> pollTimeout(Instant now) const;

    const PseudoTerminal& line_;
    const StopSignal& stop_;
    std::optional<Instant> hangupAt_;
    bool silent_;
    SharedLine boards_;
    FrameParser parser_;
    ReplyFaults faults_;
    OutgoingQueue outgoing_;
    std::optional<NoiseSource> noise_;
    EventLog log_;
    std::optional<ByteRecorder> recorder_;
};

} // namespace boardsim
