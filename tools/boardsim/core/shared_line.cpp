#include "shared_line.h"

#include <algorithm>
#include <functional>

namespace boardsim {

SharedLine::SharedLine(const BoardConfig& config, std::span<const std::uint8_t> addresses)
{
    for (const std::uint8_t address : addresses)
        boards_.emplace_back(config, address);
}

bool SharedLine::isAddressed(const Frame& frame) const
{
    return std::ranges::any_of(boards_,
                               [&](const Board& board) { return board.isAddressed(frame); });
}

std::optional<LineAnswer> SharedLine::handle(const Frame& frame, Instant now)
{
    std::optional<LineAnswer> answer;
    for (Board& board : boards_) {
        const auto reply = board.handle(frame, now);
        if (!reply)
            continue;
        if (!answer) {
            answer = LineAnswer{*reply};
            continue;
        }
        // Replies sent at the same moment collide; on this wired line a 0 bit wins.
        std::ranges::transform(answer->reply, *reply, answer->reply.begin(), std::bit_and<>{});
        ++answer->boards;
    }
    return answer;
}

std::vector<std::uint8_t> SharedLine::addresses() const
{
    std::vector<std::uint8_t> addresses;
    for (const Board& board : boards_)
        addresses.push_back(board.address());
    return addresses;
}

} // namespace boardsim
