#pragma once

#include "pseudo_terminal.h"

#include <QByteArray>
#include <QString>

// The far end of a serial line for tests: the simulated board's pseudo-terminal, whose slave
// device the tool opens like any serial port, while the test reads and writes the master side.
class FarEnd {
public:
    QString slavePath() const { return QString::fromStdString(terminal_.slavePath()); }
    void write(const QByteArray& bytes);
    // Everything that arrives until `quietMs` pass without a new byte.
    QByteArray readFor(int quietMs);

private:
    boardsim::PseudoTerminal terminal_;
};
