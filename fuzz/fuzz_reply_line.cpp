// Arbitrary text decoded as a reply line: fields are cut by position, and only captions of
// decimal digits ever read as numbers.
#include "protocol/reply_decoding.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool allDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto figures = kxlt::protocol::cutReplyFigures(line);
    require(figures.goal.size() <= 6 && figures.actual.size() <= 6 && figures.seconds.size() <= 4);
    require(figures.serial.size() <= 6 && figures.version.size() <= 3);

    for (const std::string& caption : {figures.goal, figures.actual})
        require(kxlt::protocol::captionNumber(caption).has_value() == allDigits(caption));

    const auto difference = kxlt::protocol::differenceText(figures.actual, figures.goal);
    require(difference.has_value() == (allDigits(figures.actual) && allDigits(figures.goal)));
    if (const auto efficiency = kxlt::protocol::efficiencyText(figures.actual, figures.goal))
        require(efficiency->find(',') == std::string::npos &&
                efficiency->find('e') == std::string::npos);
    return 0;
}
