#include "simulator.h"

#include <algorithm>
#include <array>
#include <climits>
#include <poll.h>
#include <stdexcept>

namespace boardsim {

namespace {

template <typename... Handlers> struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

} // namespace

Simulator::Simulator(const Options& options, const PseudoTerminal& line, const StopSignal& stop)
    : line_(line), stop_(stop), silent_(options.silent), boards_(options.board, options.addresses),
      faults_(options.badCheckEvery, options.garbageEvery),
      outgoing_(options.chunkSize, options.chunkGap), log_(options.trace)
{
    if (options.hangupAfter)
        hangupAt_ = std::chrono::steady_clock::now() +
                    std::chrono::ceil<std::chrono::steady_clock::duration>(*options.hangupAfter);
    if (options.recordPath)
        recorder_.emplace(*options.recordPath);
}

void Simulator::run()
{
    while (true) {
        const Instant now = std::chrono::steady_clock::now();
        if (hangupAt_ && now >= *hangupAt_) {
            log_.hungUp();
            return;
        }
        const auto nextWrite = outgoing_.nextWriteAt();
        const bool wantWrite = nextWrite && *nextWrite <= now;
        std::array<pollfd, 2> fds{{
            {stop_.fd(), POLLIN, 0},
            {line_.master(), static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0},
        }};
        if (::poll(fds.data(), fds.size(), pollTimeoutMs(now)) < 0) {
            if (errno == EINTR)
                continue;
            throwErrno("poll");
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
    for (const ParseEvent& event : parser_.feed(bytes)) {
        std::visit(Overloaded{
                       [&](const Frame& frame) { handle(frame, now); },
                       [&](const MalformedBuffer& malformed) {
                           log_.malformed(malformed, parser_.malformedCount());
                       },
                       [&](const SkippedBytes& skipped) { log_.skipped(skipped); },
                   },
                   event);
    }
}

void Simulator::handle(const Frame& frame, Instant now)
{
    log_.received(frame, boards_.isAddressed(frame), boards_.addresses());
    if (const auto answer = boards_.handle(frame, now); answer && !silent_)
        sendAnswer(*answer);
}

void Simulator::sendAnswer(const LineAnswer& answer)
{
    const ReplyFault fault = faults_.next();
    const LineAnswer sent{applyFault(answer.reply, fault), answer.boards};
    log_.sent(sent, fault);
    outgoing_.push(sent.reply);
}

int Simulator::pollTimeoutMs(Instant now) const
{
    std::optional<Instant> wakeAt = hangupAt_;
    if (const auto nextWrite = outgoing_.nextWriteAt(); nextWrite && *nextWrite > now)
        wakeAt = wakeAt ? std::min(*wakeAt, *nextWrite) : *nextWrite;
    if (!wakeAt)
        return -1;
    // Rounded up: waking a little early would only poll again with a zero timeout.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*wakeAt - now).count();
    return static_cast<int>(std::clamp<decltype(wait)>(wait, 0, INT_MAX));
}

} // namespace boardsim
