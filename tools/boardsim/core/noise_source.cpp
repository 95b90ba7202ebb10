#include "noise_source.h"

#include "reply.h"

namespace boardsim {

namespace {

constexpr int kLongestBurst = 32;

} // namespace

std::vector<std::uint8_t> randomBurst(std::mt19937_64& random)
{
    std::uniform_int_distribution<int> length(1, kLongestBurst);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> burst(static_cast<std::size_t>(length(random)));
    for (std::uint8_t& b : burst)
        b = static_cast<std::uint8_t>(byte(random));
    return burst;
}

NoiseSource::NoiseSource(std::chrono::milliseconds meanInterval, std::uint64_t seed, Instant start)
    : random_(seed), intervalMs_(1.0 / static_cast<double>(meanInterval.count())),
      dueAt_(start + nextInterval())
{
}

std::vector<std::uint8_t> NoiseSource::takeBurst(Instant now)
{
    std::vector<std::uint8_t> burst = randomBurst(random_);
    if (std::bernoulli_distribution(0.5)(random_)) {
        std::uniform_int_distribution<std::size_t> at(0, burst.size() - 1);
        burst[at(random_)] = kKxltMarker;
    }
    dueAt_ = now + nextInterval();
    return burst;
}

Instant::duration NoiseSource::nextInterval()
{
    return std::chrono::ceil<Instant::duration>(
        std::chrono::duration<double, std::milli>(intervalMs_(random_)));
}

} // namespace boardsim
