#include "options.h"
#include "pseudo_terminal.h"
#include "simulator.h"
#include "stop_signal.h"
#include "symlink_guard.h"

#include <iostream>
#include <optional>

int main(int argc, char* argv[])
{
    using namespace boardsim;
    const auto parsed = parseOptions({argv + 1, static_cast<std::size_t>(argc - 1)});
    if (std::holds_alternative<HelpRequested>(parsed)) {
        std::cout << helpText();
        return 0;
    }
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        std::cerr << "kxlt-boardsim: " << error->message << " (see --help)\n";
        return 2;
    }
    const auto& options = std::get<Options>(parsed);
    try {
        // Handlers first, so a stop signal sent as soon as the port path appears ends cleanly.
        const StopSignal stop;
        const PseudoTerminal line;
        std::optional<SymlinkGuard> link;
        if (options.linkPath)
            link.emplace(*options.linkPath, line.slavePath());
        Simulator simulator(options, line, stop);
        std::cout << line.slavePath() << std::endl;
        simulator.run();
    } catch (const std::exception& error) {
        std::cerr << "kxlt-boardsim: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
