#pragma once

#include "pseudo_terminal.h"

#include <QByteArray>
#include <QString>

// The far end of a serial line for the benchmarks: the simulated board's pseudo-terminal, whose
// slave device the tool opens like any serial port, while the benchmark writes the master side.
class FarEnd {
public:
    QString slavePath() const { return QString::fromStdString(terminal_.slavePath()); }
    void write(const QByteArray& bytes);

private:
    boardsim::PseudoTerminal terminal_;
};
