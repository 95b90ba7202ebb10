#include "outgoing_queue.h"

#include "unique_fd.h"

#include <algorithm>

namespace boardsim {

OutgoingQueue::OutgoingQueue(std::size_t chunkSize, std::chrono::milliseconds gap)
    : chunkSize_(chunkSize), gap_(gap)
{
}

void OutgoingQueue::push(std::span<const std::uint8_t> bytes)
{
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::optional<Instant> OutgoingQueue::nextWriteAt() const
{
    if (pending_.empty())
        return std::nullopt;
    return earliestWrite_;
}

void OutgoingQueue::writeTo(int fd, Instant now)
{
    const std::size_t piece =
        chunkSize_ == 0 ? pending_.size() : std::min(chunkSize_, pending_.size());
    const auto written = ::write(fd, pending_.data(), piece);
    if (written < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return;
        throwErrno("writing to the pty");
    }
    pending_.erase(pending_.begin(), pending_.begin() + written);
    if (chunkSize_ != 0)
        earliestWrite_ = now + gap_;
}

} // namespace boardsim
