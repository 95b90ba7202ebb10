#include "reply_faults.h"

#include "noise_source.h"

#include <algorithm>

namespace boardsim {

namespace {

// The noise between replies draws from the same seed; the two must not repeat each other's bytes.
constexpr std::uint64_t kOwnStream = 0x9E3779B97F4A7C15;

bool isDue(std::uint64_t count, unsigned every) { return every != 0 && count % every == 0; }

ReplyFault contentFault(std::uint64_t count, const FaultSchedule& schedule)
{
    if (isDue(count, schedule.garbageEvery))
        return ReplyFault::Garbage;
    if (isDue(count, schedule.badCheckEvery))
        return ReplyFault::BadCheck;
    return ReplyFault::None;
}

} // namespace

ReplyFaults::ReplyFaults(const FaultSchedule& schedule, std::uint64_t seed)
    : schedule_(schedule), random_(seed ^ kOwnStream)
{
}

ReplyDamage ReplyFaults::next()
{
    ++sent_;
    ReplyDamage damage;
    damage.fault = contentFault(sent_, schedule_);
    if (isDue(sent_, schedule_.noiseBeforeEvery)) {
        // Half begin with the marker, as when a board powering up is asked.
        damage.noiseBefore = randomBurst(random_);
        if (std::bernoulli_distribution(0.5)(random_))
            damage.noiseBefore.front() = kKxltMarker;
    }
    if (isDue(sent_, schedule_.insertEvery)) {
        std::uniform_int_distribution<std::size_t> at(1, kReplySize - 1);
        std::uniform_int_distribution<int> byte(0, 255);
        damage.inserted = InsertedByte{at(random_), static_cast<std::uint8_t>(byte(random_))};
    }
    return damage;
}

std::vector<std::uint8_t> damagedReply(const Reply& reply, const ReplyDamage& damage)
{
    std::vector<std::uint8_t> bytes(reply.begin(), reply.end());
    switch (damage.fault) {
    case ReplyFault::None: break;
    case ReplyFault::BadCheck: bytes.back() = static_cast<std::uint8_t>(~replyCheck(reply)); break;
    case ReplyFault::Garbage:
        std::fill(bytes.begin(), bytes.end(), 0x55);
        bytes.front() = 0xAA;
        break;
    }
    if (damage.inserted)
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(damage.inserted->at),
                     damage.inserted->byte);
    return bytes;
}

} // namespace boardsim
