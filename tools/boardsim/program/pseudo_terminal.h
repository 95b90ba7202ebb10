#pragma once

#include "unique_fd.h"

#include <string>

namespace boardsim {

// A raw 9600 baud pseudo-terminal. The master side is non-blocking and belongs to the board; the
// slave path is the serial port the tool opens.
class PseudoTerminal {
public:
    PseudoTerminal();

    int master() const { return master_.get(); }
    const std::string& slavePath() const { return slavePath_; }

private:
    UniqueFd master_;
    std::string slavePath_;
    // Never used for I/O: holding the slave open keeps the master from reporting a hang-up
    // (and poll from returning at once) while the tool has the port closed.
    UniqueFd slave_;
};

} // namespace boardsim
