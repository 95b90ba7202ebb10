#pragma once

#include "ctl/board_line.h"
#include "ctl/exit_status.h"

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

// Waits up to `timeout` for the next reply, good or damaged. With `from`, good replies from other
// addresses are passed over: late answers to an earlier query.
Answer awaitAnswer(BoardLine& line, std::chrono::milliseconds timeout,
                   std::optional<std::uint8_t> from = std::nullopt);

// Waits at most `limit` for the line to be quiet, so that the answer to what is sent next begins
// where a reply is trusted at once, and no board is still talking.
void awaitQuiet(BoardLine& line, std::chrono::milliseconds limit);

inline constexpr std::string_view kDamagedText = "an answer failed its check (\"Com Error\")";
inline constexpr std::string_view kJunkText =
    "bytes that are no reply came back: another device, a wrong baud rate or noise";
std::string lostText(const QString& reason);

// Says on standard error what went wrong and gives the exit status for it.
ExitStatus reportFailure(const Answer& answer, const BoardLine& line,
                         std::chrono::milliseconds timeout);

} // namespace kxlt::ctl
