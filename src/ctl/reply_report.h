#pragma once

#include "protocol/reply_decoding.h"
#include "protocol/status_reply.h"

#include <optional>
#include <string>

namespace kxlt::ctl {

// A good reply decoded into the figures the window shows for it, as it shows them.
struct ReplyReport {
    std::string partType;
    int address = 0;
    protocol::ReplyFigures figures;
    // Absent where the window leaves its field as it was: a figure that is not a number, goal 0.
    std::optional<std::string> difference;
    std::optional<std::string> efficiency;
    // The line the window logs: 54 hex digits and the computed check.
    std::string line;
};

ReplyReport reportReply(const protocol::ReplyBytes& reply);

} // namespace kxlt::ctl
