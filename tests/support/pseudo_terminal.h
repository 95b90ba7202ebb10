#pragma once

#include <QByteArray>
#include <QString>

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
    // Everything that arrives until `quietMs` pass without a new byte.
    QByteArray readFor(int quietMs);

private:
    int master_ = -1;
    // Kept open so the master never reads a hang-up while the tool has the port closed.
    int slave_ = -1;
    QString slavePath_;
};
