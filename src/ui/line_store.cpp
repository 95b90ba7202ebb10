#include "ui/line_store.h"

#include <algorithm>

namespace kxlt::ui {

void LineStore::append(std::string_view text)
{
    const std::size_t offset = text_.size();
    text_.append(text);
    indexFrom(offset);
}

void LineStore::replace(std::string_view text)
{
    text_.assign(text);
    lineStarts_.assign(1, 0);
    longestLineBytes_ = 0;
    indexFrom(0);
}

void LineStore::indexFrom(std::size_t offset)
{
    for (std::size_t at = text_.find('\n', offset); at != std::string::npos;
         at = text_.find('\n', at + 1))
        lineStarts_.push_back(at + 1);
    // The line being extended may start before the appended text.
    const std::size_t firstTouched =
        std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset) - lineStarts_.begin() - 1;
    for (std::size_t i = firstTouched; i < lineStarts_.size(); ++i)
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
    const std::size_t start = lineStarts_[index];
    std::size_t end = index + 1 < lineStarts_.size() ? lineStarts_[index + 1] - 1 : text_.size();
    if (end > start && text_[end - 1] == '\r')
        --end;
    return std::string_view(text_).substr(start, end - start);
}

} // namespace kxlt::ui
