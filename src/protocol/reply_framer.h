#pragma once

#include "protocol/status_reply.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kxlt::protocol {

enum class LineEventKind {
    Reply,
    // At least 27 bytes beginning with the type marker, with no checked reply among them.
    DamagedReply,
    // At least 27 bytes that are no reply. Reported once a burst, with all-zero bytes.
    Junk,
};

struct LineEvent {
    LineEventKind kind;
    ReplyBytes bytes{};

    bool operator==(const LineEvent&) const = default;
};

// Cuts what boards send into replies, framing them by silence as Modbus RTU does: a burst is
// what arrives between two quiet lines, and a reply is confirmed by what comes after it.
//
// Nothing but the type marker 0x54 marks where a reply begins, 0x54 also stands inside replies,
// and the one-byte check passes for bytes 5..26 of one reply joined to bytes 0..4 of the next,
// since replies share their first bytes. So a 27-byte frame that passes the check counts only
// where it is anchored:
// - in the chain of checked frames from the start of a burst that began on a quiet line: each
//   is confirmed as the next one arrives, the last by the quiet line;
// - as the checked frame that ends the burst, give or take a trailer of a few bytes (the byte
//   an RS-485 transmitter leaves, CR LF), with the checked frames right before it when the
//   burst began on a quiet line. Where this overlaps the first chain, the first was noise that
//   passed the check with the reply's head.
// What lies between or before them (noise, an echo of the query) is dropped. A burst without a
// reply shows only when it could be one: 27 bytes or more, damaged when it begins with the
// marker. Time stays outside: the caller says when the line has gone quiet.
class ReplyFramer {
public:
    // Bytes in arrival order, in pieces of any size.
    std::vector<LineEvent> receive(std::span<const std::uint8_t> bytes);
    // No byte has arrived for the quiet time: the burst is decided.
    std::vector<LineEvent> lineQuiet();
    // The port was opened or lost: what was kept belongs to no reply, and the next burst is not
    // known to begin where a reply begins.
    void reset();

private:
    std::span<const std::uint8_t> undecided() const;
    void followChain(std::vector<LineEvent>& events);
    void bound(std::vector<LineEvent>& events);
    void decideBurst(std::vector<LineEvent>& events);
    void reportNoReply(std::span<const std::uint8_t> bytes, std::vector<LineEvent>& events);

    std::vector<std::uint8_t> burst_;
    // Bytes of the burst before this one are decided.
    std::size_t decidedUpTo_ = 0;
    bool inBurst_ = false;
    bool lineWasQuiet_ = false;
    // The undecided bytes begin where a reply must begin: the burst began on a quiet line and
    // everything before them was a reply.
    bool anchored_ = false;
    bool junkReported_ = false;
};

} // namespace kxlt::protocol
