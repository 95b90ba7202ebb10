#include "protocol/reply_framer.h"

#include <algorithm>

namespace kxlt::protocol {

std::vector<LineEvent> ReplyFramer::receive(std::span<const std::uint8_t> bytes)
{
    std::vector<LineEvent> events;
    for (const std::uint8_t byte : bytes)
        take(byte, events);
    return events;
}

std::vector<LineEvent> ReplyFramer::lineQuiet()
{
    std::vector<LineEvent> events;
    if (unconfirmed_)
        events.push_back({LineEventKind::Reply, *unconfirmed_});
    else if (candidateSize_ > 0)
        reportJunk(events);
    unconfirmed_.reset();
    candidateSize_ = 0;
    markerTrusted_ = true;
    junkReported_ = false;
    return events;
}

void ReplyFramer::reset() { *this = ReplyFramer{}; }

void ReplyFramer::take(std::uint8_t byte, std::vector<LineEvent>& events)
{
    if (unconfirmed_) {
        // More bytes right behind it: the candidate may be the trap of two joined replies.
        unconfirmed_.reset();
        reportJunk(events);
    }
    if (candidateSize_ == 0) {
        if (byte != kTypeMarker) {
            markerTrusted_ = false;
            reportJunk(events);
            return;
        }
        candidateTrusted_ = markerTrusted_;
    }
    candidate_[candidateSize_++] = byte;
    if (candidateSize_ == kReplySize)
        complete(events);
}

void ReplyFramer::complete(std::vector<LineEvent>& events)
{
    candidateSize_ = 0;
    const bool checked = checkMatches(candidate_);
    if (candidateTrusted_) {
        events.push_back(
            {checked ? LineEventKind::Reply : LineEventKind::DamagedReply, candidate_});
        markerTrusted_ = checked;
        junkReported_ = false;
        return;
    }
    if (checked) {
        unconfirmed_ = candidate_;
        return;
    }
    // Not a reply; the real one may begin inside it. At most 26 bytes go round again, too few
    // to complete another candidate, so this does not recurse further.
    reportJunk(events);
    const ReplyBytes rest = candidate_;
    std::for_each(rest.begin() + 1, rest.end(), [&](std::uint8_t byte) { take(byte, events); });
}

void ReplyFramer::reportJunk(std::vector<LineEvent>& events)
{
    if (!junkReported_)
        events.push_back({LineEventKind::Junk, {}});
    junkReported_ = true;
}

} // namespace kxlt::protocol
