#include "ctl/commands.h"
#include "ctl/error_output.h"
#include "ctl/help_text.h"
#include "ctl/options.h"
#include "port/board_line.h"
#include "port/qt_serial_link.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace {

// Standard output that the system did not take (a full disk, a closed pipe) is a failure.
int statusOfOutput(kxlt::ctl::ExitStatus status)
{
    using namespace kxlt::ctl;
    if (!std::cout.flush()) {
        printError(std::string("the output could not be written: ") + std::strerror(errno));
        return static_cast<int>(ExitStatus::OutputFailed);
    }
    return static_cast<int>(status);
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace kxlt::ctl;
    QCoreApplication application(argc, argv);
    const ParsedArguments parsed = parseArguments(QCoreApplication::arguments().mid(1));
    if (std::holds_alternative<HelpRequested>(parsed)) {
        std::cout << helpText();
        return statusOfOutput(ExitStatus::Done);
    }
    if (std::holds_alternative<VersionRequested>(parsed)) {
        std::cout << "kxltctl " KXLT_VERSION "\n";
        return statusOfOutput(ExitStatus::Done);
    }
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        printError(error->message + " (see --help)");
        return static_cast<int>(ExitStatus::Usage);
    }
    const auto& invocation = std::get<Invocation>(parsed);

    kxlt::port::QtSerialLink link;
    kxlt::port::BoardLine line(link);
    if (!line.open(invocation.portNumber, deviceOf(invocation))) {
        printError(line.openFailure().toStdString());
        return static_cast<int>(ExitStatus::PortFailed);
    }
    ReplyOutput output(invocation.format);
    return statusOfOutput(runCommand(invocation, line, output));
}
