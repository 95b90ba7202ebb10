#pragma once

namespace kxlt::ctl {

enum class ExitStatus {
    Done = 0,
    NoAnswer = 1,
    // A reply that failed its check, or only bytes that are no reply.
    BadAnswer = 2,
    // The port did not open, or went away while open.
    PortFailed = 3,
    NotVerified = 4,
    // Bad arguments: nothing was sent (sysexits' EX_USAGE).
    Usage = 64,
    // The output could not be written, a full disk say (sysexits' EX_IOERR).
    OutputFailed = 74,
};

} // namespace kxlt::ctl
