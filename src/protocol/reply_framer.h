#pragma once

#include "protocol/status_reply.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kxlt::protocol {

enum class LineEventKind {
    Reply,
    // 27 bytes that began where a reply may begin, with a check byte that does not match.
    DamagedReply,
    // Bytes that are no reply. Reported once for each run of them, with all-zero bytes.
    Junk,
};

struct LineEvent {
    LineEventKind kind;
    ReplyBytes bytes{};

    bool operator==(const LineEvent&) const = default;
};

// Cuts what a board sends into replies. Nothing but the type marker 0x54 marks where a reply
// begins, and 0x54 also stands inside replies (byte 5 of "KX-LT", BCD digits 54). A marker is
// therefore trusted only where a reply must begin: on a quiet line, or right after a complete
// reply. A marker found after junk starts a candidate that counts only once the line goes quiet
// right after it: bytes 5..26 of one reply and bytes 0..4 of the next pass the check, since
// consecutive replies share their first bytes. Time stays outside: the caller says when the line
// has gone quiet.
class ReplyFramer {
public:
    // Bytes in arrival order, in pieces of any size.
    std::vector<LineEvent> receive(std::span<const std::uint8_t> bytes);
    // No byte has arrived for the quiet time.
    std::vector<LineEvent> lineQuiet();
    // The port was opened or lost: what was kept belongs to no reply, and nothing is trusted
    // until the line has been quiet.
    void reset();

private:
    void take(std::uint8_t byte, std::vector<LineEvent>& events);
    void complete(std::vector<LineEvent>& events);
    void reportJunk(std::vector<LineEvent>& events);

    ReplyBytes candidate_{};
    std::size_t candidateSize_ = 0;
    bool candidateTrusted_ = false;
    // A candidate found after junk that passed its check, waiting for the quiet line that
    // confirms it.
    std::optional<ReplyBytes> unconfirmed_;
    bool markerTrusted_ = false;
    bool junkReported_ = false;
};

} // namespace kxlt::protocol
