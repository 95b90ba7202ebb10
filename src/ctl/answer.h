#pragma once

#include "ctl/exit_status.h"
#include "port/board_line.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kxlt::ctl {

struct Answer {
    enum class Kind { Reply, DamagedReply, OnlyJunk, NoAnswer, PortLost };
    Kind kind = Kind::NoAnswer;
    protocol::ReplyBytes reply{};
};

// Sends a query once the line is quiet, so that no board is still talking and its answer is
// framed from its first byte, and waits up to `timeout` for the answer to arrive, then for the
// quiet line that confirms it. With `from`, replies of other addresses are passed over: another
// board's, or a late answer to an earlier query.
Answer ask(port::BoardLine& line, const protocol::TransmitBuffer& query,
           std::chrono::milliseconds timeout, std::optional<std::uint8_t> from);

inline constexpr std::string_view kDamagedText = "an answer failed its check (\"Com Error\")";
inline constexpr std::string_view kJunkText =
    "bytes that are no reply came back: another device, a wrong baud rate or noise";
std::string lostText(const QString& reason);
// Says on standard error which address gave a damaged answer or bytes that are no reply.
void reportBadAnswer(unsigned address, const Answer& answer);

// Says on standard error what went wrong and gives the exit status for it.
ExitStatus reportFailure(const Answer& answer, const port::BoardLine& line,
                         std::chrono::milliseconds timeout);

} // namespace kxlt::ctl
