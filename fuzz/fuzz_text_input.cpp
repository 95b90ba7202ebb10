// Arbitrary operator text into the address and value readers. Accepted text must
// mean what it says; refused text must carry a reason.
#include "protocol/board_address.h"
#include "protocol/command_frame.h"
#include "protocol/value_field.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto address = kxlt::protocol::parseBoardAddress(text);
    if (address)
        require(text.find(std::to_string(*address)) != std::string_view::npos || *address == 0);
    else
        require(!address.reason().empty());

    const auto value = kxlt::protocol::encodeValueField(text);
    if (value) {
        require(!text.empty() && text.size() <= kxlt::protocol::kMaxValueDigits);
        for (char c : text)
            require(isHexDigit(c));
        const auto frame =
            kxlt::protocol::valueFrame(kxlt::protocol::FunctionCode::SetGoal, 1, *value);
        require(kxlt::protocol::echoText(frame).size() == 24 && frame[8] == 0);
    } else {
        require(!value.reason().empty());
    }
    return 0;
}
