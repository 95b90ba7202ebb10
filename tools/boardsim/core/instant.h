#pragma once

#include <chrono>

namespace boardsim {

using Instant = std::chrono::steady_clock::time_point;

} // namespace boardsim
