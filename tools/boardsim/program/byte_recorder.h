#pragma once

#include "unique_fd.h"

#include <cstdint>
#include <span>
#include <string>

namespace boardsim {

// Appends raw bytes to a file, unmodified and in order, as soon as they are received.
class ByteRecorder {
public:
    explicit ByteRecorder(const std::string& path);

    void append(std::span<const std::uint8_t> bytes);

private:
    UniqueFd file_;
};

} // namespace boardsim
