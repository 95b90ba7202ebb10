#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kxlt::ui {

// Text kept as one UTF-8 string with the start of every line, so that a million reply lines
// cost little more than their characters and any line is found at once. Positions can also be
// given in UTF-16 code units, as QString and assistive tools count them.
class LineStore {
public:
    void append(std::string_view text);

    const std::string& text() const { return text_; }
    // Lines as shown: a text that ends in a line break has no empty line after it.
    std::size_t lineCount() const;
    // Without its line break. The line at lineCount() is the empty one after a final line break.
    std::string_view line(std::size_t index) const;
    std::size_t longestLineBytes() const { return longestLineBytes_; }

    std::size_t utf16Size() const { return utf16Size_; }
    // The line holding a UTF-16 position; a line break belongs to the line it ends.
    std::size_t lineAtUtf16(std::size_t position) const;
    std::size_t lineStartUtf16(std::size_t index) const { return lineStarts_[index].utf16; }
    // The text between two UTF-16 positions, each moved forward to a whole character.
    std::string_view sliceUtf16(std::size_t start, std::size_t end) const;

private:
    struct LineStart {
        std::size_t byte;
        std::size_t utf16;
    };

    void indexFrom(std::size_t offset);
    std::size_t byteAtUtf16(std::size_t position) const;

    std::string text_;
    std::vector<LineStart> lineStarts_{{0, 0}};
    std::size_t utf16Size_ = 0;
    std::size_t longestLineBytes_ = 0;
};

} // namespace kxlt::ui
