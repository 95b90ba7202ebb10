#pragma once

#include <QByteArray>
#include <QString>

#include <termios.h>

// The far end of a serial line for tests: a real pseudo-terminal whose slave device the tool
// opens like any serial port, while the test reads and writes the master side.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    QString slavePath() const { return slavePath_; }

    void write(const QByteArray& bytes);
    // Whatever arrives until `count` bytes are in or `timeoutMs` passes without a new byte.
    QByteArray read(int count, int timeoutMs = 1000);
    // Everything that arrives within `quietMs`; use it to prove nothing more was sent.
    QByteArray readFor(int quietMs);

    // The line settings as the device driver holds them.
    termios lineSettings() const;

private:
    int master_ = -1;
    // Kept open so the master never reads a hang-up while the tool has the port closed.
    int slave_ = -1;
    QString slavePath_;
};
