#include "byte_recorder.h"

#include <fcntl.h>

namespace boardsim {

namespace {

int openForAppend(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        throwErrno("opening " + path);
    return fd;
}

} // namespace

ByteRecorder::ByteRecorder(const std::string& path) : file_(openForAppend(path)) {}

void ByteRecorder::append(std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const auto written = ::write(file_.get(), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throwErrno("writing the record file");
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

} // namespace boardsim
