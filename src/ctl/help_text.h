#pragma once

#include <string_view>

namespace kxlt::ctl {

std::string_view helpText();

} // namespace kxlt::ctl
