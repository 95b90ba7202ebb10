#include "protocol/status_reply.h"

#include "protocol/hex_text.h"

#include <algorithm>

namespace kxlt::protocol {

namespace {

bool startsWithReply(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kReplySize && bytes[0] == kTypeMarker;
}

} // namespace

ReceivedBlock readBlock(std::span<const std::uint8_t> block)
{
    ReceivedBlock received;
    received.recognised = startsWithReply(block);
    if (!received.recognised) {
        received.replies.push_back(ReplyBytes{});
        return received;
    }
    // A fast board can put several replies into one read; each counts. Anything after them that
    // does not start with the marker is dropped.
    while (startsWithReply(block)) {
        ReplyBytes& reply = received.replies.emplace_back();
        std::copy_n(block.begin(), kReplySize, reply.begin());
        block = block.subspan(kReplySize);
    }
    if (!block.empty() && block[0] == kTypeMarker)
        received.unfinishedReplyBytes = block.size();
    return received;
}

std::string replyAddressText(const ReplyBytes& reply)
{
    return std::to_string(reply[kReplyAddressByte]) + 'H';
}

std::string replyHexLine(const ReplyBytes& reply)
{
    std::uint8_t check = 0;
    for (std::size_t i = 0; i < kReplyCheckByte; ++i)
        check ^= reply[i];
    if (check != reply[kReplyCheckByte])
        return std::string(kCheckFailureText);

    std::string line = hexText(reply);
    appendHex(line, check);
    return line;
}

} // namespace kxlt::protocol
