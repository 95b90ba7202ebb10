#pragma once

#include "instant.h"

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

namespace boardsim {

// Bursts of random bytes at random moments, the same for the same seed. Intervals are
// exponentially distributed around the mean; a burst is 1 to 32 random bytes, and half the bursts
// carry the reply marker somewhere, since that is what a reader hunting for replies trips on.
class NoiseSource {
public:
    NoiseSource(std::chrono::milliseconds meanInterval, std::uint64_t seed, Instant start);

    // When the next burst is due.
    Instant dueAt() const { return dueAt_; }

    // The next burst; the one after it falls due an interval after now.
    std::vector<std::uint8_t> takeBurst(Instant now);

private:
    Instant::duration nextInterval();

    std::mt19937_64 random_;
    std::exponential_distribution<double> intervalMs_;
    Instant dueAt_;
};

// 1 to 32 random bytes, as a disturbed line gives them.
std::vector<std::uint8_t> randomBurst(std::mt19937_64& random);

} // namespace boardsim
