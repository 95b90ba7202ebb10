#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kxlt::ui {

// Text kept as one UTF-8 string with the start of every line, so that a million reply lines
// cost little more than their characters and any line is found at once.
class LineStore {
public:
    void append(std::string_view text);
    void replace(std::string_view text);

    const std::string& text() const { return text_; }
    // Lines as shown: a text that ends in a line break has no empty line after it.
    std::size_t lineCount() const;
    // Without its line break.
    std::string_view line(std::size_t index) const;
    std::size_t longestLineBytes() const { return longestLineBytes_; }

private:
    void indexFrom(std::size_t offset);

    std::string text_;
    std::vector<std::size_t> lineStarts_{0};
    std::size_t longestLineBytes_ = 0;
};

} // namespace kxlt::ui
