#include "ui/line_store.h"

#include <algorithm>

namespace kxlt::ui {

namespace {

bool continuesCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Counted byte by byte, so that a character split between two appends is counted once.
std::size_t utf16Units(char byte)
{
    if (continuesCharacter(byte))
        return 0;
    // Four-byte characters lie outside the Basic Multilingual Plane: a surrogate pair.
    return (static_cast<unsigned char>(byte) & 0xF8) == 0xF0 ? 2 : 1;
}

} // namespace

void LineStore::append(std::string_view text)
{
    const std::size_t offset = text_.size();
    text_.append(text);
    indexFrom(offset);
}

void LineStore::indexFrom(std::size_t offset)
{
    for (std::size_t at = offset; at < text_.size(); ++at) {
        utf16Size_ += utf16Units(text_[at]);
        if (text_[at] == '\n')
            lineStarts_.push_back({at + 1, utf16Size_});
    }
    // The line being extended may start before the appended text.
    const auto firstTouched = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset,
                                               [](std::size_t byte, const LineStart& start) {
                                                   return byte < start.byte;
                                               }) -
                              lineStarts_.begin() - 1;
    for (auto i = static_cast<std::size_t>(firstTouched); i < lineStarts_.size(); ++i)
        longestLineBytes_ = std::max(longestLineBytes_, line(i).size());
}

std::size_t LineStore::lineCount() const
{
    if (text_.empty())
        return 0;
    return text_.back() == '\n' ? lineStarts_.size() - 1 : lineStarts_.size();
}

std::string_view LineStore::line(std::size_t index) const
{
    const std::size_t start = lineStarts_[index].byte;
    std::size_t end =
        index + 1 < lineStarts_.size() ? lineStarts_[index + 1].byte - 1 : text_.size();
    if (end > start && text_[end - 1] == '\r')
        --end;
    return std::string_view(text_).substr(start, end - start);
}

std::size_t LineStore::lineAtUtf16(std::size_t position) const
{
    const auto after = std::upper_bound(
        lineStarts_.begin(), lineStarts_.end(), position,
        [](std::size_t utf16, const LineStart& start) { return utf16 < start.utf16; });
    return static_cast<std::size_t>(after - lineStarts_.begin() - 1);
}

std::size_t LineStore::byteAtUtf16(std::size_t position) const
{
    const LineStart& start = lineStarts_[lineAtUtf16(position)];
    std::size_t byte = start.byte;
    for (std::size_t units = start.utf16; units < position && byte < text_.size(); ++byte)
        units += utf16Units(text_[byte]);
    while (byte < text_.size() && continuesCharacter(text_[byte]))
        ++byte;
    return byte;
}

std::string_view LineStore::sliceUtf16(std::size_t start, std::size_t end) const
{
    const std::size_t first = byteAtUtf16(start);
    return std::string_view(text_).substr(first, std::max(first, byteAtUtf16(end)) - first);
}

} // namespace kxlt::ui
