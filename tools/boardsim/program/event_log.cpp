#include "event_log.h"

#include "hex.h"
#include "trace_format.h"

#include <iostream>

namespace boardsim {

EventLog::EventLog(bool trace) : trace_(trace) {}

void EventLog::received(const Frame& frame, bool addressed,
                        std::span<const std::uint8_t> boardAddresses)
{
    trace(receivedLine(frame, addressed, boardAddresses));
}

void EventLog::malformed(const MalformedBuffer& malformed, std::size_t count)
{
    std::cerr << "kxlt-boardsim: malformed buffer #" << count << " (" << malformed.reason
              << "): " << toHex(malformed.bytes) << std::endl;
    trace(malformedLine(malformed));
}

void EventLog::skipped(const SkippedBytes& skipped) { trace(skippedLine(skipped)); }

void EventLog::sent(std::span<const std::uint8_t> transmission, std::size_t boards,
                    const ReplyDamage& damage, std::chrono::milliseconds quiet)
{
    if (!damage.noiseBefore.empty()) {
        noise(damage.noiseBefore, quiet);
        quiet = std::chrono::milliseconds(0);
    }
    trace(sentLine(transmission, boards, damage, quiet));
}

void EventLog::echoed(std::span<const std::uint8_t> bytes, std::chrono::milliseconds quiet)
{
    trace(bytesLine("echo", bytes, quiet));
}

void EventLog::noise(std::span<const std::uint8_t> burst, std::chrono::milliseconds quiet)
{
    trace(bytesLine("noise", burst, quiet));
}

void EventLog::seed(std::uint64_t seed) { trace(seedLine(seed)); }

void EventLog::hungUp() { trace("hangup"); }

void EventLog::trace(const std::string& line)
{
    if (trace_)
        std::cout << line << std::endl;
}

} // namespace boardsim
