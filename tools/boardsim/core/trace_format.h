#pragma once

#include "frame.h"
#include "frame_parser.h"
#include "reply_faults.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace boardsim {

// One trace line per event on the line, without the newline. Fields are separated by two spaces;
// tx, echo and noise lines are written when their first byte goes out, with how long the line had
// been quiet before it (whole milliseconds since the previous byte sent, or since start). A tx line
// shows every byte of the reply as sent, an inserted byte and the trailer included; noise injected
// before a reply has a noise line of its own right above, and the tx line then shows quiet 0 ms:
//   rx AA F5 01 11 00 00 00 10 00  start addr 1
//   rx AA F5 02 11 00 00 00 13 00  start addr 2  (ignored: board is addr 1)
//   rx AA F5 03 11 00 00 00 12 00  start addr 3  (ignored: boards are addr 1,2,7)
//   bad AA F5 01 11 00 00 00 11 00  bad check byte
//   skip 12 34
//   tx 54 4B 58 ...  quiet 812 ms  [(bad check injected) | (garbage injected)]
//                                  [(byte 3F injected at 12)][(noise injected before)]
//                                  [(collision of N replies)]
//   echo AA F9 01 FE 01 FE 00 AB 00  quiet 0 ms
//   noise 3F 54 E0  quiet 97 ms
//   seed 42  (printed first when there is noise, so a run can be repeated)
std::string receivedLine(const Frame& frame, bool addressed,
                         std::span<const std::uint8_t> boardAddresses);
std::string malformedLine(const MalformedBuffer& malformed);
std::string skippedLine(const SkippedBytes& skipped);
std::string sentLine(std::span<const std::uint8_t> transmission, std::size_t boards,
                     const ReplyDamage& damage, std::chrono::milliseconds quiet);
// An echo or noise line: what, then the bytes.
std::string bytesLine(std::string_view what, std::span<const std::uint8_t> bytes,
                      std::chrono::milliseconds quiet);
std::string seedLine(std::uint64_t seed);

} // namespace boardsim
