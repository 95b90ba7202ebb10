#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kxlt::protocol {

// The figures cut out of a reply line by character position (counted from 1):
// goal 19..24, actual 27..32, seconds 33..36, serial 43..48, version 49 "." 50.
struct ReplyFigures {
    std::string goal;
    std::string actual;
    std::string seconds;
    std::string serial;
    std::string version;
};

ReplyFigures cutReplyFigures(std::string_view replyLine);

// A caption of decimal digits only (leading zeros allowed) as a number; anything else, the empty
// text and hex letters included, is not a number.
std::optional<double> captionNumber(std::string_view caption);

// Shortest decimal text of at most 15 significant digits, always with a point: 61.7, -1000, 50.
std::string numberText(double value);

// actual - goal; nothing when either caption is not a number.
std::optional<std::string> differenceText(std::string_view actual, std::string_view goal);

// actual * 100 / goal; nothing when either caption is not a number or the goal is 0.
std::optional<std::string> efficiencyText(std::string_view actual, std::string_view goal);

} // namespace kxlt::protocol
