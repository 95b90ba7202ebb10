#include "trace_format.h"

#include "hex.h"

namespace boardsim {

namespace {

std::string quietField(std::chrono::milliseconds quiet)
{
    return "  quiet " + std::to_string(quiet.count()) + " ms";
}

std::string addressList(std::span<const std::uint8_t> addresses)
{
    std::string list;
    for (const std::uint8_t address : addresses) {
        if (!list.empty())
            list += ',';
        list += std::to_string(address);
    }
    return list;
}

} // namespace

std::string receivedLine(const Frame& frame, bool addressed,
                         std::span<const std::uint8_t> boardAddresses)
{
    std::string line = "rx " + toHex(frame.bytes) + "  " + describe(frame);
    if (!addressed)
        line += (boardAddresses.size() == 1 ? "  (ignored: board is addr "
                                            : "  (ignored: boards are addr ") +
                addressList(boardAddresses) + ")";
    return line;
}

std::string malformedLine(const MalformedBuffer& malformed)
{
    return "bad " + toHex(malformed.bytes) + "  " + std::string(malformed.reason);
}

std::string skippedLine(const SkippedBytes& skipped) { return "skip " + toHex(skipped.bytes); }

std::string sentLine(std::span<const std::uint8_t> transmission, std::size_t boards,
                     const ReplyDamage& damage, std::chrono::milliseconds quiet)
{
    std::string line = "tx " + toHex(transmission) + quietField(quiet);
    switch (damage.fault) {
    case ReplyFault::None: break;
    case ReplyFault::BadCheck: line += "  (bad check injected)"; break;
    case ReplyFault::Garbage: line += "  (garbage injected)"; break;
    }
    if (damage.inserted)
        line += "  (byte " + toHex(std::span(&damage.inserted->byte, 1)) + " injected at " +
                std::to_string(damage.inserted->at) + ")";
    if (!damage.noiseBefore.empty())
        line += "  (noise injected before)";
    if (boards > 1)
        line += "  (collision of " + std::to_string(boards) + " replies)";
    return line;
}

std::string bytesLine(std::string_view what, std::span<const std::uint8_t> bytes,
                      std::chrono::milliseconds quiet)
{
    return std::string(what) + ' ' + toHex(bytes) + quietField(quiet);
}

std::string seedLine(std::uint64_t seed) { return "seed " + std::to_string(seed); }

} // namespace boardsim
