#pragma once

#include "reply.h"

#include <cstdint>

namespace boardsim {

enum class ReplyFault { None, BadCheck, Garbage };

// Decides which replies go out damaged: every Nth reply per kind of fault (0 = never).
// A reply due for both becomes garbage.
class ReplyFaults {
public:
    ReplyFaults(unsigned badCheckEvery, unsigned garbageEvery);

    // Fault for the next reply sent.
    ReplyFault next();

private:
    unsigned badCheckEvery_;
    unsigned garbageEvery_;
    std::uint64_t sent_ = 0;
};

// Bad check: the check byte inverted. Garbage: 0xAA followed by 26 bytes 0x55, which no reader
// may take for a reply.
Reply applyFault(const Reply& reply, ReplyFault fault);

} // namespace boardsim
