#pragma once

#include <cerrno>
#include <string>
#include <system_error>
#include <unistd.h>

namespace boardsim {

// Owns a POSIX file descriptor and closes it when destroyed.
class UniqueFd {
public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    int get() const { return fd_; }

private:
    int fd_;
};

[[noreturn]] inline void throwErrno(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace boardsim
