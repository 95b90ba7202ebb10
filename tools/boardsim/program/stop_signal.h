#pragma once

#include "unique_fd.h"

#include <array>

namespace boardsim {

// Turns SIGINT and SIGTERM into a readable pipe, so the poll loop can end cleanly.
class StopSignal {
public:
    StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;
    ~StopSignal();

    // Becomes readable once a stop signal has arrived.
    int fd() const { return readEnd_.get(); }

private:
    explicit StopSignal(std::array<int, 2> pipeEnds);

    UniqueFd readEnd_;
    UniqueFd writeEnd_;
};

} // namespace boardsim
