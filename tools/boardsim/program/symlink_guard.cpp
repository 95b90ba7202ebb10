#include "symlink_guard.h"

namespace boardsim {

SymlinkGuard::SymlinkGuard(std::filesystem::path link, std::filesystem::path target)
    : link_(std::move(link)), target_(std::move(target))
{
    if (std::filesystem::is_symlink(link_))
        std::filesystem::remove(link_);
    std::filesystem::create_symlink(target_, link_);
}

SymlinkGuard::~SymlinkGuard()
{
    // Another simulator may have taken the link over meanwhile; only remove our own.
    std::error_code error;
    if (std::filesystem::read_symlink(link_, error) == target_)
        std::filesystem::remove(link_, error);
}

} // namespace boardsim
