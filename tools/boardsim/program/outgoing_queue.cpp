#include "outgoing_queue.h"

#include "unique_fd.h"

namespace boardsim {

OutgoingQueue::OutgoingQueue(const Pacing& pacing, Instant start)
    : pacer_(pacing), lastWrite_(start)
{
}

void OutgoingQueue::push(std::span<const std::uint8_t> bytes, Instant now,
                         FirstByteSent firstByteSent)
{
    unstarted_.push_back({writtenTotal_ + pending_.size(), std::move(firstByteSent)});
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    pacer_.push(bytes.size(), now);
}

void OutgoingQueue::writeTo(int fd, Instant now)
{
    const std::size_t due = pacer_.dueCount(now);
    if (due == 0)
        return;
    const auto written = ::write(fd, pending_.data(), due);
    if (written < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return;
        throwErrno("writing to the pty");
    }
    const auto count = static_cast<std::size_t>(written);
    pending_.erase(pending_.begin(), pending_.begin() + written);
    pacer_.sent(count);
    reportStarted(count, now);
}

void OutgoingQueue::reportStarted(std::size_t written, Instant now)
{
    const std::uint64_t firstWritten = writtenTotal_;
    writtenTotal_ += written;
    while (!unstarted_.empty() && unstarted_.front().firstByte < writtenTotal_) {
        // A message right behind another in the same write had no quiet before it.
        const auto quiet = unstarted_.front().firstByte == firstWritten
                               ? std::chrono::floor<std::chrono::milliseconds>(now - lastWrite_)
                               : std::chrono::milliseconds(0);
        unstarted_.front().firstByteSent(quiet);
        unstarted_.pop_front();
    }
    lastWrite_ = now;
}

} // namespace boardsim
