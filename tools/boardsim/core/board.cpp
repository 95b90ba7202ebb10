#include "board.h"

namespace boardsim {

namespace {

constexpr std::uint64_t kCountModulus = 1'000'000;
constexpr std::uint64_t kSecondsModulus = 10'000;

} // namespace

Board::Board(const BoardConfig& config, std::uint8_t address) : config_(config), address_(address)
{
}

bool Board::isAddressed(const Frame& frame) const
{
    switch (frame.function) {
    case FunctionCode::SetAddress: return true;
    case FunctionCode::Query:
        return frame.address == address_ || frame.address == kIdentityQueryAddress;
    default: return frame.address == address_;
    }
}

std::optional<Reply> Board::handle(const Frame& frame, Instant now)
{
    advanceTo(now);
    if (!isAddressed(frame))
        return std::nullopt;
    switch (frame.function) {
    case FunctionCode::SetGoal: counters_.goal = frame.value; break;
    case FunctionCode::SetActual: counters_.actual = frame.value; break;
    case FunctionCode::SetIncrement: counters_.increment = frame.value; break;
    case FunctionCode::Control: control(frame.control); break;
    case FunctionCode::SetAddress: address_ = frame.address; break;
    case FunctionCode::Query: return reply();
    }
    return std::nullopt;
}

void Board::advanceTo(Instant now)
{
    if (running_) {
        const auto elapsed = now - lastAdvance_;
        stepProgress_ += elapsed;
        secondProgress_ += elapsed;
        const auto steps = static_cast<std::uint64_t>(stepProgress_ / config_.step);
        const auto seconds = static_cast<std::uint64_t>(secondProgress_ / std::chrono::seconds(1));
        stepProgress_ %= config_.step;
        secondProgress_ %= std::chrono::seconds(1);
        counters_.actual = static_cast<std::uint32_t>(
            (counters_.actual + steps % kCountModulus * counters_.increment) % kCountModulus);
        counters_.seconds =
            static_cast<std::uint32_t>((counters_.seconds + seconds) % kSecondsModulus);
    }
    lastAdvance_ = now;
}

void Board::control(ControlCode code)
{
    switch (code) {
    case ControlCode::Start: running_ = true; break;
    case ControlCode::Stop: running_ = false; break;
    case ControlCode::Clear:
        counters_.actual = 0;
        counters_.seconds = 0;
        stepProgress_ = {};
        secondProgress_ = {};
        break;
    }
}

Reply Board::reply() const
{
    return buildReply({.characters = config_.characters,
                       .goal = counters_.goal,
                       .actual = counters_.actual,
                       .seconds = counters_.seconds,
                       .serial = config_.serial,
                       .version = config_.version,
                       .address = address_});
}

} // namespace boardsim
