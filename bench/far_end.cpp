#include "far_end.h"

#include <QtGlobal>

#include <cerrno>
#include <poll.h>
#include <unistd.h>

void FarEnd::write(const QByteArray& bytes)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t n = ::write(terminal_.master(), bytes.constData() + written,
                                  static_cast<size_t>(bytes.size() - written));
        if (n > 0) {
            written += n;
        } else if (errno == EAGAIN) {
            // The master side does not block: a full buffer waits for the tool to read.
            pollfd writable{terminal_.master(), POLLOUT, 0};
            poll(&writable, 1, 1000);
        } else {
            qFatal("write to the pseudo-terminal failed");
        }
    }
}
