#include "simulator.h"

#include <algorithm>
#include <array>
#include <poll.h>
#include <random>
#include <stdexcept>

namespace boardsim {

Simulator::Simulator(const Options& options, const PseudoTerminal& line, const StopSignal& stop)
    : Simulator(options, line, stop, std::chrono::steady_clock::now())
{
}

Simulator::Simulator(const Options& options, const PseudoTerminal& line, const StopSignal& stop,
                     Instant start)
    : line_(line), stop_(stop), seed_(options.seed.value_or(std::random_device{}())),
      tracesSeed_(drawsRandomBytes(options)), outgoing_(options.pacing, start), log_(options.trace),
      responder_(options, seed_, outgoing_, log_)
{
    if (options.hangupAfter)
        hangupAt_ =
            start + std::chrono::ceil<std::chrono::steady_clock::duration>(*options.hangupAfter);
    if (options.noiseEvery.count() != 0)
        noise_.emplace(options.noiseEvery, seed_, start);
    if (options.recordPath)
        recorder_.emplace(*options.recordPath);
}

void Simulator::run()
{
    if (tracesSeed_)
        log_.seed(seed_);
    while (true) {
        const Instant now = std::chrono::steady_clock::now();
        if (hangupAt_ && now >= *hangupAt_) {
            log_.hungUp();
            return;
        }
        // A burst that falls due while bytes wait goes out after them.
        if (noise_ && outgoing_.empty() && now >= noise_->dueAt())
            sendNoise(now);
        const auto nextWrite = outgoing_.nextWriteAt();
        const bool wantWrite = nextWrite && *nextWrite <= now;
        std::array<pollfd, 2> fds{{
            {stop_.fd(), POLLIN, 0},
            {line_.master(), static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0},
        }};
        const auto timeout = pollTimeout(now);
        if (::ppoll(fds.data(), fds.size(), timeout ? &*timeout : nullptr, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            throwErrno("ppoll");
        }
        if (fds[0].revents != 0)
            return;
        const short lineEvents = fds[1].revents;
        // The slave is held open, so these mean the pty itself broke; going on would spin.
        if ((lineEvents & (POLLERR | POLLHUP | POLLNVAL)) != 0 && (lineEvents & POLLIN) == 0)
            throw std::runtime_error("the pty reported an error");
        const Instant ready = std::chrono::steady_clock::now();
        if ((lineEvents & POLLIN) != 0)
            receive(ready);
        if ((lineEvents & POLLOUT) != 0)
            outgoing_.writeTo(line_.master(), ready);
    }
}

void Simulator::receive(Instant now)
{
    std::array<std::uint8_t, 4096> buffer{};
    const auto count = ::read(line_.master(), buffer.data(), buffer.size());
    if (count < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return;
        throwErrno("reading from the pty");
    }
    const std::span<const std::uint8_t> bytes(buffer.data(), static_cast<std::size_t>(count));
    if (recorder_)
        recorder_->append(bytes);
    responder_.receive(bytes, now);
}

void Simulator::sendNoise(Instant now)
{
    const auto burst = noise_->takeBurst(now);
    outgoing_.push(burst, now,
                   [this, burst](std::chrono::milliseconds quiet) { log_.noise(burst, quiet); });
}

std::optional<timespec> Simulator::pollTimeout(Instant now) const
{
    std::optional<Instant> wakeAt = hangupAt_;
    const auto wakeBy = [&](Instant at) { wakeAt = wakeAt ? std::min(*wakeAt, at) : at; };
    if (const auto nextWrite = outgoing_.nextWriteAt(); nextWrite && *nextWrite > now)
        wakeBy(*nextWrite);
    // While bytes wait, their writes wake the loop; the next burst waits for them anyway.
    if (noise_ && outgoing_.empty())
        wakeBy(noise_->dueAt());
    if (!wakeAt)
        return std::nullopt;
    // Finer than milliseconds: at line speed a byte takes about one.
    const auto wait = std::max(std::chrono::nanoseconds(0), *wakeAt - now);
    const auto seconds = std::chrono::floor<std::chrono::seconds>(wait);
    return timespec{.tv_sec = static_cast<time_t>(seconds.count()),
                    .tv_nsec = static_cast<long>((wait - seconds).count())};
}

} // namespace boardsim
