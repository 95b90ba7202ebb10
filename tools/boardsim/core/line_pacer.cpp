#include "line_pacer.h"

#include <algorithm>
#include <cstdint>

namespace boardsim {

namespace {

// Start bit, eight data bits, stop bit.
constexpr std::uint64_t kBitsPerByte = 10;

} // namespace

LinePacer::LinePacer(const Pacing& pacing) : pacing_(pacing) {}

void LinePacer::push(std::size_t count, Instant now)
{
    if (waiting_ == 0) {
        burstStart_ = std::max(now, idleFrom_);
        sentInBurst_ = 0;
    }
    waiting_ += count;
}

std::size_t LinePacer::dueCount(Instant now) const
{
    std::size_t due = 0;
    while (due < waiting_ && dueAt(sentInBurst_ + due) <= now)
        ++due;
    return due;
}

std::optional<Instant> LinePacer::nextDueAt() const
{
    if (waiting_ == 0)
        return std::nullopt;
    return dueAt(sentInBurst_);
}

void LinePacer::sent(std::size_t count)
{
    sentInBurst_ += count;
    waiting_ -= count;
    if (waiting_ == 0 && sentInBurst_ > 0)
        idleFrom_ = dueAt(sentInBurst_ - 1) +
                    (pacing_.chunkSize == 0 ? std::chrono::milliseconds(0) : pacing_.chunkGap);
}

// A byte is due once it and every byte before it in the burst have had their time on the wire,
// after the pause that follows each full piece before it.
Instant LinePacer::dueAt(std::size_t indexInBurst) const
{
    Instant due = burstStart_;
    if (pacing_.baud != 0) {
        const std::uint64_t bits = (indexInBurst + 1) * kBitsPerByte;
        due += std::chrono::nanoseconds(
            static_cast<std::int64_t>(bits * 1'000'000'000 / pacing_.baud));
    }
    if (pacing_.chunkSize != 0) {
        const auto fullPiecesBefore = static_cast<std::int64_t>(indexInBurst / pacing_.chunkSize);
        due += fullPiecesBefore * pacing_.chunkGap;
    }
    return due;
}

} // namespace boardsim
