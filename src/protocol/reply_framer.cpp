#include "protocol/reply_framer.h"

#include <algorithm>
#include <optional>

namespace kxlt::protocol {

namespace {

// Bytes that may follow the last reply of a burst: the byte an RS-485 transmitter leaves when
// it switches off, CR LF. Bytes 1..4 of a reply, its characters, hold no marker, so a frame
// that ends inside such a trailer cannot begin inside the reply.
constexpr std::size_t kMaxTrailer = 4;
// Undecided bytes kept while the line does not go quiet; older ones are dropped as junk.
constexpr std::size_t kKeptBytes = 8 * kReplySize;
// Decided bytes are erased from the front of the burst in batches.
constexpr std::size_t kEraseDecidedAt = 64 * kReplySize;

ReplyBytes frameAt(std::span<const std::uint8_t> bytes, std::size_t at)
{
    ReplyBytes frame{};
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), kReplySize, frame.begin());
    return frame;
}

bool isCheckedFrame(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return at + kReplySize <= bytes.size() && bytes[at] == kTypeMarker &&
           checkMatches(frameAt(bytes, at));
}

// The checked frame that begins at `from` or a trailer's length after it.
std::optional<std::size_t> checkedFrameFrom(std::span<const std::uint8_t> bytes, std::size_t from)
{
    for (std::size_t trailer = 0; trailer <= kMaxTrailer; ++trailer)
        if (isCheckedFrame(bytes, from + trailer))
            return from + trailer;
    return std::nullopt;
}

// The checked frame that ends at `end` or a trailer's length before it.
std::optional<std::size_t> checkedFrameEndingAt(std::span<const std::uint8_t> bytes,
                                                std::size_t end)
{
    for (std::size_t trailer = 0; trailer <= kMaxTrailer && trailer + kReplySize <= end; ++trailer)
        if (isCheckedFrame(bytes, end - trailer - kReplySize))
            return end - trailer - kReplySize;
    return std::nullopt;
}

void reportReply(std::span<const std::uint8_t> bytes, std::size_t at,
                 std::vector<LineEvent>& events)
{
    events.push_back({LineEventKind::Reply, frameAt(bytes, at)});
}

} // namespace

std::vector<LineEvent> ReplyFramer::receive(std::span<const std::uint8_t> bytes)
{
    std::vector<LineEvent> events;
    if (bytes.empty())
        return events;
    if (!inBurst_) {
        inBurst_ = true;
        anchored_ = lineWasQuiet_;
        junkReported_ = false;
    }
    burst_.insert(burst_.end(), bytes.begin(), bytes.end());
    followChain(events);
    bound(events);
    return events;
}

std::vector<LineEvent> ReplyFramer::lineQuiet()
{
    std::vector<LineEvent> events;
    if (inBurst_)
        decideBurst(events);
    burst_.clear();
    decidedUpTo_ = 0;
    inBurst_ = false;
    lineWasQuiet_ = true;
    return events;
}

void ReplyFramer::reset() { *this = ReplyFramer{}; }

std::span<const std::uint8_t> ReplyFramer::undecided() const
{
    return std::span<const std::uint8_t>(burst_).subspan(decidedUpTo_);
}

// Back-to-back replies from an anchor: each is confirmed by the checked one right behind it.
void ReplyFramer::followChain(std::vector<LineEvent>& events)
{
    while (anchored_ && isCheckedFrame(undecided(), 0)) {
        const std::optional<std::size_t> next = checkedFrameFrom(undecided(), kReplySize);
        if (!next)
            break;
        reportReply(undecided(), 0, events);
        decidedUpTo_ += *next;
    }
    if (decidedUpTo_ >= kEraseDecidedAt) {
        burst_.erase(burst_.begin(), burst_.begin() + static_cast<std::ptrdiff_t>(decidedUpTo_));
        decidedUpTo_ = 0;
    }
}

// A line that never goes quiet (noise, a wrong baud rate) must not grow the burst without end.
void ReplyFramer::bound(std::vector<LineEvent>& events)
{
    if (undecided().size() <= kKeptBytes)
        return;
    burst_.erase(burst_.begin(), burst_.end() - static_cast<std::ptrdiff_t>(kKeptBytes));
    decidedUpTo_ = 0;
    anchored_ = false;
    if (!junkReported_)
        events.push_back({LineEventKind::Junk, {}});
    junkReported_ = true;
}

void ReplyFramer::decideBurst(std::vector<LineEvent>& events)
{
    const std::span<const std::uint8_t> bytes = undecided();
    // The reply at the anchor, which nothing checked right behind it confirmed: the chain
    // before it has been reported as it came...
    const bool atAnchor = anchored_ && isCheckedFrame(bytes, 0);
    // ...and the reply that ends the burst, with those right before it. Where the two overlap,
    // the anchor was noise that happened to pass the check with the reply's head.
    std::vector<std::size_t> toEnd;
    if (const auto last = checkedFrameEndingAt(bytes, bytes.size())) {
        toEnd.push_back(*last);
        while (anchored_) {
            const auto before = checkedFrameEndingAt(bytes, toEnd.back());
            if (!before)
                break;
            toEnd.push_back(*before);
        }
        std::reverse(toEnd.begin(), toEnd.end());
    }
    if (atAnchor && (toEnd.empty() || kReplySize <= toEnd.front()))
        reportReply(bytes, 0, events);
    for (const std::size_t at : toEnd)
        reportReply(bytes, at, events);
    if (!toEnd.empty())
        return;
    // Nothing checked ends the burst: past the trailer of the last reply, where a damaged one
    // begins.
    std::size_t end = atAnchor ? kReplySize : 0;
    const auto trailerEnd =
        bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), end + kMaxTrailer + 1));
    const auto marker =
        std::find(bytes.begin() + static_cast<std::ptrdiff_t>(end), trailerEnd, kTypeMarker);
    if (end > 0 && marker != trailerEnd)
        end = static_cast<std::size_t>(marker - bytes.begin());
    reportNoReply(bytes.subspan(end), events);
}

// Fewer than 27 bytes are a glitch, not an answer: they leave the last reading standing.
void ReplyFramer::reportNoReply(std::span<const std::uint8_t> bytes, std::vector<LineEvent>& events)
{
    if (bytes.size() < kReplySize || junkReported_)
        return;
    if (bytes.front() == kTypeMarker) {
        events.push_back({LineEventKind::DamagedReply, frameAt(bytes, 0)});
        return;
    }
    events.push_back({LineEventKind::Junk, {}});
    junkReported_ = true;
}

} // namespace kxlt::protocol
