#pragma once

#include <array>
#include <cstdint>

namespace boardsim {

inline constexpr std::size_t kReplySize = 27;
using Reply = std::array<std::uint8_t, kReplySize>;

// Type marker that identifies a KX-LT board as the first reply byte.
inline constexpr std::uint8_t kKxltMarker = 0x54;

using CharacterBytes = std::array<std::uint8_t, 8>;
inline constexpr CharacterBytes kKxltCharacters{'K', 'X', '-', 'L', 'T', ' ', ' ', ' '};

struct ReplyContent {
    CharacterBytes characters = kKxltCharacters;
    std::uint32_t goal = 0;
    std::uint32_t actual = 0;
    std::uint32_t seconds = 0;
    std::uint32_t serial = 0;
    std::uint8_t version = 0;
    std::uint8_t address = 0;
};

// Layout: marker, 8 characters, goal (3 BCD), 00, actual (3 BCD), seconds (2 BCD), 00 00 00,
// serial (3 BCD), version, address, XOR of all previous bytes.
Reply buildReply(const ReplyContent& content);

// XOR of every byte before the check byte.
std::uint8_t replyCheck(const Reply& reply);

} // namespace boardsim
