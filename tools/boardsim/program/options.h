#pragma once

#include "board.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace boardsim {

struct Options {
    BoardConfig board;
    std::vector<std::uint8_t> addresses{1}; // one board each
    std::optional<std::string> linkPath;
    std::optional<std::string> recordPath;
    bool trace = false;
    bool silent = false;
    unsigned badCheckEvery = 0; // 0: never
    unsigned garbageEvery = 0;  // 0: never
    std::size_t chunkSize = 0;  // 0: each reply in one write
    std::chrono::milliseconds chunkGap{10};
    std::optional<std::chrono::duration<double>> hangupAfter;
};

struct HelpRequested {};

struct UsageError {
    std::string message;
};

std::variant<Options, HelpRequested, UsageError> parseOptions(std::span<const char* const> args);

std::string_view helpText();

} // namespace boardsim
