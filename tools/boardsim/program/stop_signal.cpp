#include "stop_signal.h"

#include <array>
#include <csignal>
#include <fcntl.h>

namespace boardsim {

namespace {

volatile std::sig_atomic_t stopWriteFd = -1;

void onStopSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    if (stopWriteFd >= 0) {
        [[maybe_unused]] const auto written = ::write(stopWriteFd, &byte, 1);
    }
    errno = savedErrno;
}

std::array<int, 2> nonBlockingPipe()
{
    std::array<int, 2> ends{};
    if (::pipe(ends.data()) != 0)
        throwErrno("pipe");
    for (const int end : ends)
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    return ends;
}

} // namespace

StopSignal::StopSignal() : StopSignal(nonBlockingPipe()) {}

StopSignal::StopSignal(std::array<int, 2> pipeEnds) : readEnd_(pipeEnds[0]), writeEnd_(pipeEnds[1])
{
    stopWriteFd = writeEnd_.get();
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM})
        if (::sigaction(signal, &action, nullptr) != 0)
            throwErrno("sigaction");
}

StopSignal::~StopSignal() { stopWriteFd = -1; }

} // namespace boardsim
