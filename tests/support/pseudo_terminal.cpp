#include "pseudo_terminal.h"

#include <QtGlobal>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        qFatal("cannot create a pseudo-terminal");
    slavePath_ = QString::fromLocal8Bit(ptsname(master_));
    slave_ = ::open(ptsname(master_), O_RDWR | O_NOCTTY);
    if (slave_ < 0)
        qFatal("cannot open %s", qPrintable(slavePath_));
    // Raw from the start, so nothing written before the tool opens the port is echoed back.
    termios settings{};
    tcgetattr(slave_, &settings);
    cfmakeraw(&settings);
    tcsetattr(slave_, TCSANOW, &settings);
}

PseudoTerminal::~PseudoTerminal()
{
    ::close(slave_);
    ::close(master_);
}

void PseudoTerminal::write(const QByteArray& bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + written,
                                  static_cast<size_t>(bytes.size() - written));
        if (n < 0)
            qFatal("write to the pseudo-terminal failed");
        written += n;
    }
}

QByteArray PseudoTerminal::readFor(int quietMs)
{
    QByteArray received;
    pollfd waiting{master_, POLLIN, 0};
    while (poll(&waiting, 1, quietMs) > 0) {
        char chunk[4096];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0)
            break;
        received.append(chunk, n);
    }
    return received;
}
