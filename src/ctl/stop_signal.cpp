#include "ctl/stop_signal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace kxlt::ctl {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM};

volatile std::sig_atomic_t signalWriteEnd = -1;

// Only async-signal-safe calls here: the event loop does the rest.
void forwardSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalWriteEnd, &byte, 1);
    errno = savedErrno;
}

void handleStopSignals(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : kStopSignals)
        sigaction(signal, &action, nullptr);
}

} // namespace

StopSignal::StopSignal(QObject* parent) : QObject(parent)
{
    // Without the pipe the signals keep their default effect, which ends the program anyway.
    if (::pipe(pipe_.data()) != 0)
        return;
    signalWriteEnd = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StopSignal::takeSignal);
    handleStopSignals(forwardSignal);
}

StopSignal::~StopSignal()
{
    if (!notifier_)
        return;
    handleStopSignals(SIG_DFL);
    signalWriteEnd = -1;
    delete notifier_;
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void StopSignal::takeSignal()
{
    char byte = 0;
    [[maybe_unused]] const auto read = ::read(pipe_[0], &byte, 1);
    emit received();
}

} // namespace kxlt::ctl
