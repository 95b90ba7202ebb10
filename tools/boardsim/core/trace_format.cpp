#include "trace_format.h"

#include "hex.h"

namespace boardsim {

std::string receivedLine(const Frame& frame, bool addressed, std::uint8_t boardAddress)
{
    std::string line = "rx " + toHex(frame.bytes) + "  " + describe(frame);
    if (!addressed)
        line += "  (ignored: board is addr " + std::to_string(boardAddress) + ")";
    return line;
}

std::string malformedLine(const MalformedBuffer& malformed)
{
    return "bad " + toHex(malformed.bytes) + "  " + std::string(malformed.reason);
}

std::string skippedLine(const SkippedBytes& skipped) { return "skip " + toHex(skipped.bytes); }

std::string sentLine(const Reply& reply, ReplyFault fault)
{
    std::string line = "tx " + toHex(reply);
    switch (fault) {
    case ReplyFault::None: break;
    case ReplyFault::BadCheck: line += "  (bad check injected)"; break;
    case ReplyFault::Garbage: line += "  (garbage injected)"; break;
    }
    return line;
}

} // namespace boardsim
