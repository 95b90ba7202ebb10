#pragma once

#include <filesystem>

namespace boardsim {

// A symlink that exists as long as this object does. An older symlink at the same place is
// replaced; any other kind of file there is left alone and reported as an error.
class SymlinkGuard {
public:
    SymlinkGuard(std::filesystem::path link, std::filesystem::path target);
    SymlinkGuard(const SymlinkGuard&) = delete;
    SymlinkGuard& operator=(const SymlinkGuard&) = delete;
    ~SymlinkGuard();

private:
    std::filesystem::path link_;
    std::filesystem::path target_;
};

} // namespace boardsim
