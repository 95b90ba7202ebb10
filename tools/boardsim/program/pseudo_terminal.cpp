#include "pseudo_terminal.h"

#include <cstdlib>
#include <fcntl.h>
#include <termios.h>

namespace boardsim {

namespace {

int openMaster()
{
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0)
        throwErrno("posix_openpt");
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        throw std::system_error(error, std::generic_category(), "preparing the pty master");
    }
    return fd;
}

std::string slaveName(int master)
{
    const char* name = ::ptsname(master);
    if (name == nullptr)
        throwErrno("ptsname");
    return name;
}

int openRawSlave(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        throwErrno("opening " + path);
    termios settings{};
    if (::tcgetattr(fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        if (::tcsetattr(fd, TCSANOW, &settings) == 0)
            return fd;
    }
    const int error = errno;
    ::close(fd);
    throw std::system_error(error, std::generic_category(), "making " + path + " raw");
}

} // namespace

PseudoTerminal::PseudoTerminal()
    : master_(openMaster()), slavePath_(slaveName(master_.get())), slave_(openRawSlave(slavePath_))
{
}

} // namespace boardsim
