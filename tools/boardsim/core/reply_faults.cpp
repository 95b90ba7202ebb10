#include "reply_faults.h"

namespace boardsim {

namespace {

bool isDue(std::uint64_t count, unsigned every) { return every != 0 && count % every == 0; }

} // namespace

ReplyFaults::ReplyFaults(unsigned badCheckEvery, unsigned garbageEvery)
    : badCheckEvery_(badCheckEvery), garbageEvery_(garbageEvery)
{
}

ReplyFault ReplyFaults::next()
{
    ++sent_;
    if (isDue(sent_, garbageEvery_))
        return ReplyFault::Garbage;
    if (isDue(sent_, badCheckEvery_))
        return ReplyFault::BadCheck;
    return ReplyFault::None;
}

Reply applyFault(const Reply& reply, ReplyFault fault)
{
    Reply damaged = reply;
    switch (fault) {
    case ReplyFault::None: break;
    case ReplyFault::BadCheck:
        damaged.back() = static_cast<std::uint8_t>(~replyCheck(reply));
        break;
    case ReplyFault::Garbage:
        damaged.fill(0x55);
        damaged.front() = 0xAA;
        break;
    }
    return damaged;
}

} // namespace boardsim
