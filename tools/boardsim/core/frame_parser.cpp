#include "frame_parser.h"

#include "frame_decoder.h"

#include <algorithm>

namespace boardsim {

std::vector<ParseEvent> FrameParser::feed(std::span<const std::uint8_t> bytes)
{
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<ParseEvent> events;
    auto cursor = pending_.begin();
    while (cursor != pending_.end()) {
        const auto sync = std::find(cursor, pending_.end(), kSyncByte);
        if (sync != cursor)
            events.emplace_back(SkippedBytes{{cursor, sync}});
        cursor = sync;
        if (pending_.end() - cursor < static_cast<std::ptrdiff_t>(kTransmitBufferSize))
            break;
        TransmitBuffer buffer;
        std::copy_n(cursor, buffer.size(), buffer.begin());
        auto decoded = decodeTransmitBuffer(buffer);
        if (auto* frame = std::get_if<Frame>(&decoded)) {
            events.emplace_back(*frame);
            cursor += kTransmitBufferSize;
        } else {
            ++malformedCount_;
            events.emplace_back(MalformedBuffer{buffer, std::get<Rejection>(decoded).reason});
            ++cursor;
        }
    }
    pending_.erase(pending_.begin(), cursor);
    return events;
}

} // namespace boardsim
