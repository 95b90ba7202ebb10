#pragma once

#include "byte_recorder.h"
#include "event_log.h"
#include "noise_source.h"
#include "options.h"
#include "outgoing_queue.h"
#include "pseudo_terminal.h"
#include "responder.h"
#include "stop_signal.h"

#include <ctime>
#include <optional>

namespace boardsim {

// The boards on the line: reads what the tool sends, hands it to the responder and writes what
// it queued, with noise in between if asked for.
class Simulator {
public:
    Simulator(const Options& options, const PseudoTerminal& line, const StopSignal& stop);

    // Returns on a stop signal or when the hang-up time has come.
    void run();

private:
    Simulator(const Options& options, const PseudoTerminal& line, const StopSignal& stop,
              Instant start);

    void receive(Instant now);
    void sendNoise(Instant now);
    std::optional<timespec> pollTimeout(Instant now) const;

    const PseudoTerminal& line_;
    const StopSignal& stop_;
    std::optional<Instant> hangupAt_;
    std::uint64_t seed_;
    bool tracesSeed_;
    OutgoingQueue outgoing_;
    std::optional<NoiseSource> noise_;
    EventLog log_;
    Responder responder_;
    std::optional<ByteRecorder> recorder_;
};

} // namespace boardsim
