#include "protocol/status_reply.h"

#include "protocol/hex_text.h"

namespace kxlt::protocol {

bool checkMatches(const ReplyBytes& reply)
{
    std::uint8_t check = 0;
    for (std::size_t i = 0; i < kReplyCheckByte; ++i)
        check ^= reply[i];
    return check == reply[kReplyCheckByte];
}

std::string replyAddressText(const ReplyBytes& reply)
{
    return std::to_string(reply[kReplyAddressByte]) + 'H';
}

std::string replyHexLine(const ReplyBytes& reply)
{
    if (!checkMatches(reply))
        return std::string(kCheckFailureText);

    std::string line = hexText(reply);
    appendHex(line, reply[kReplyCheckByte]);
    return line;
}

} // namespace kxlt::protocol
