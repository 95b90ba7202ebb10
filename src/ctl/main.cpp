#include "ctl/board_line.h"
#include "ctl/commands.h"
#include "ctl/error_output.h"
#include "ctl/help_text.h"
#include "ctl/options.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    using namespace kxlt::ctl;
    QCoreApplication application(argc, argv);
    const ParsedArguments parsed = parseArguments(QCoreApplication::arguments().mid(1));
    if (std::holds_alternative<HelpRequested>(parsed)) {
        std::cout << helpText();
        return 0;
    }
    if (std::holds_alternative<VersionRequested>(parsed)) {
        std::cout << "kxltctl " KXLT_VERSION "\n";
        return 0;
    }
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        printError(error->message + " (see --help)");
        return static_cast<int>(ExitStatus::Usage);
    }
    const auto& invocation = std::get<Invocation>(parsed);

    // A device named by path is opened the way the window is pointed at one: as COM1 set by
    // KXLT_COM1, so that the link resolves and reports it as for the window.
    if (invocation.device)
        qputenv("KXLT_COM1", invocation.device->toLocal8Bit());
    BoardLine line;
    if (const QString failure = line.open(invocation.portNumber); !failure.isEmpty()) {
        printError(failure.toStdString());
        return static_cast<int>(ExitStatus::PortFailed);
    }
    ReplyOutput output(invocation.format);
    return static_cast<int>(runCommand(invocation, line, output));
}
