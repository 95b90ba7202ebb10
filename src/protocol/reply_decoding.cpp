#include "protocol/reply_decoding.h"

#include <algorithm>
#include <charconv>

namespace kxlt::protocol {

namespace {

// Characters position..position+count-1 (from 1); fewer or none past the end of the line.
std::string take(std::string_view line, std::size_t position, std::size_t count)
{
    const std::size_t start = position - 1;
    if (start >= line.size())
        return {};
    return std::string(line.substr(start, count));
}

} // namespace

ReplyFigures cutReplyFigures(std::string_view replyLine)
{
    return ReplyFigures{
        .goal = take(replyLine, 19, 6),
        .actual = take(replyLine, 27, 6),
        .seconds = take(replyLine, 33, 4),
        .serial = take(replyLine, 43, 6),
        .version = take(replyLine, 49, 1) + "." + take(replyLine, 50, 1),
    };
}

std::optional<double> captionNumber(std::string_view caption)
{
    if (caption.empty())
        return std::nullopt;
    if (!std::all_of(caption.begin(), caption.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    double value = 0;
    for (char c : caption)
        value = value * 10 + (c - '0');
    return value;
}

std::string numberText(double value)
{
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    return std::string(text, result.ptr);
}

std::optional<std::string> differenceText(std::string_view actual, std::string_view goal)
{
    const auto a = captionNumber(actual);
    const auto g = captionNumber(goal);
    if (!a || !g)
        return std::nullopt;
    return numberText(*a - *g);
}

std::optional<std::string> efficiencyText(std::string_view actual, std::string_view goal)
{
    const auto a = captionNumber(actual);
    const auto g = captionNumber(goal);
    if (!a || !g || *g == 0)
        return std::nullopt;
    return numberText(*a * 100 / *g);
}

} // namespace kxlt::protocol
