#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kxlt::protocol {

// A board's answer, 27 bytes, recognised by its first byte alone:
//   0 54 type marker | 1..8 characters | 9..11 goal BCD | 12 - | 13..15 actual BCD
//   16..17 seconds BCD | 18..20 - | 21..23 serial BCD | 24 version | 25 address
//   26 XOR of bytes 0..25
inline constexpr std::size_t kReplySize = 27;
inline constexpr std::uint8_t kTypeMarker = 0x54;
inline constexpr std::size_t kReplyAddressByte = 25;
inline constexpr std::size_t kReplyCheckByte = 26;

using ReplyBytes = std::array<std::uint8_t, kReplySize>;

// The check byte equals the XOR of the 26 bytes before it.
bool checkMatches(const ReplyBytes& reply);

// The address byte in decimal followed by "H": 0x0A gives "10H".
std::string replyAddressText(const ReplyBytes& reply);

inline constexpr std::string_view kCheckFailureText = "Com Error";
// The part type of a board whose reply was read, and of anything else.
inline constexpr std::string_view kPartTypeName = "KX-LT";
inline constexpr std::string_view kUnknownPartText = "Unknow Part";

// The reply as 54 hex digits plus the computed check (56 digits), or "Com Error" when the
// check byte does not match.
std::string replyHexLine(const ReplyBytes& reply);

} // namespace kxlt::protocol
