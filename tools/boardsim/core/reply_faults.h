#pragma once

#include "reply.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace boardsim {

enum class ReplyFault { None, BadCheck, Garbage };

// Every Nth reply per kind of fault; 0 for never.
struct FaultSchedule {
    unsigned badCheckEvery = 0;
    unsigned garbageEvery = 0;
    unsigned noiseBeforeEvery = 0;
    unsigned insertEvery = 0;
};

// One byte put into a reply at index 1..26; the reply's bytes from there on move up by one.
struct InsertedByte {
    std::size_t at = 0;
    std::uint8_t byte = 0;

    bool operator==(const InsertedByte&) const = default;
};

// What happens to one reply on its way out.
struct ReplyDamage {
    ReplyFault fault = ReplyFault::None;
    std::optional<InsertedByte> inserted;
    // Sent right before the reply, with no gap: empty for none.
    std::vector<std::uint8_t> noiseBefore;

    bool operator==(const ReplyDamage&) const = default;
};

// Decides which replies go out damaged, on the schedule; the random bytes and positions repeat
// with the seed. A reply due for a bad check and garbage becomes garbage; an inserted byte and
// noise before it come on top of either.
class ReplyFaults {
public:
    ReplyFaults(const FaultSchedule& schedule, std::uint64_t seed);

    // Damage for the next reply sent.
    ReplyDamage next();

private:
    FaultSchedule schedule_;
    std::mt19937_64 random_;
    std::uint64_t sent_ = 0;
};

// The reply's bytes as they go out, without the noise before them. Bad check: the check byte
// inverted. Garbage: 0xAA followed by 26 bytes 0x55, which no reader may take for a reply.
std::vector<std::uint8_t> damagedReply(const Reply& reply, const ReplyDamage& damage);

} // namespace boardsim
