#pragma once

#include "board.h"
#include "line_pacer.h"
#include "reply_faults.h"

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
    FaultSchedule faults;
    Pacing pacing;
    std::chrono::milliseconds noiseEvery{0}; // 0: no noise
    std::optional<std::uint64_t> seed;
    std::optional<std::chrono::duration<double>> hangupAfter;
    std::vector<std::uint8_t> trailer; // sent right after every reply
    bool echo = false;                 // the line sends back every byte it receives
};

struct HelpRequested {};

struct UsageError {
    std::string message;
};

// Whether random bytes are drawn, so that a seed repeats the run.
bool drawsRandomBytes(const Options& options);

std::variant<Options, HelpRequested, UsageError> parseOptions(std::span<const char* const> args);

std::string_view helpText();

} // namespace boardsim
