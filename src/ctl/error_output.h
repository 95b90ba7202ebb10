#pragma once

#include <iostream>
#include <string_view>

namespace kxlt::ctl {

inline void printError(std::string_view message) { std::cerr << "kxltctl: " << message << '\n'; }

} // namespace kxlt::ctl
