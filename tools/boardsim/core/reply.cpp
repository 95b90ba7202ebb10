#include "reply.h"

#include "bcd.h"

#include <algorithm>
#include <span>

namespace boardsim {

Reply buildReply(const ReplyContent& content)
{
    Reply reply{};
    const std::span<std::uint8_t> bytes(reply);
    reply[0] = kKxltMarker;
    std::ranges::copy(content.characters, bytes.begin() + 1);
    encodeBcd(content.goal, bytes.subspan(9, 3));
    encodeBcd(content.actual, bytes.subspan(13, 3));
    encodeBcd(content.seconds, bytes.subspan(16, 2));
    encodeBcd(content.serial, bytes.subspan(21, 3));
    reply[24] = content.version;
    reply[25] = content.address;
    reply[26] = replyCheck(reply);
    return reply;
}

std::uint8_t replyCheck(const Reply& reply)
{
    std::uint8_t check = 0;
    for (std::size_t i = 0; i + 1 < reply.size(); ++i)
        check ^= reply[i];
    return check;
}

} // namespace boardsim
