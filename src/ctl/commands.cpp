#include "ctl/commands.h"

#include "ctl/answer.h"
#include "ctl/error_output.h"
#include "ctl/scan.h"
#include "ctl/watch.h"
#include "port/port_mapping.h"
#include "protocol/hex_text.h"

#include <QFile>

#include <variant>

namespace kxlt::ctl {

namespace {

using protocol::ControlCode;
using protocol::FunctionCode;

using QueryOutcome = std::variant<ReplyReport, ExitStatus>;

// As often as the window writes it.
void sendCommand(port::BoardLine& line, const protocol::TransmitBuffer& buffer)
{
    for (int write = 0; write < protocol::writesOf(buffer); ++write)
        line.send(buffer);
}

// Sends the query with this pair value and prints the good reply; otherwise says what went wrong.
// Every board answers the identity query; any other only the board at that address.
QueryOutcome query(std::uint8_t pairValue, const Invocation& invocation, port::BoardLine& line,
                   ReplyOutput& output)
{
    const std::optional<std::uint8_t> from =
        pairValue == protocol::kIdentityPairValue ? std::nullopt : std::optional(pairValue);
    const Answer answer = ask(line, protocol::queryFrame(pairValue), invocation.timeout, from);
    if (answer.kind != Answer::Kind::Reply)
        return reportFailure(answer, line, invocation.timeout);
    ReplyReport report = reportReply(answer.reply);
    output.printReply(report);
    return report;
}

ExitStatus statusOf(const QueryOutcome& outcome)
{
    const auto* status = std::get_if<ExitStatus>(&outcome);
    return status ? *status : ExitStatus::Done;
}

// Asks the board at `address` and fails unless `reported` picks `expected` out of its reply.
ExitStatus verify(std::uint8_t address, std::string_view figure, const std::string& expected,
                  std::string (*reported)(const ReplyReport&), const Invocation& invocation,
                  port::BoardLine& line, ReplyOutput& output)
{
    const QueryOutcome outcome = query(address, invocation, line, output);
    const auto* report = std::get_if<ReplyReport>(&outcome);
    if (!report)
        return std::get<ExitStatus>(outcome);
    const std::string shown = reported(*report);
    if (shown == expected)
        return ExitStatus::Done;
    printError("the board reports " + std::string(figure) + ' ' + shown + ", not " + expected);
    return ExitStatus::NotVerified;
}

ExitStatus control(ControlCode code, const Invocation& invocation, port::BoardLine& line)
{
    sendCommand(line, protocol::controlFrame(invocation.address, code));
    return ExitStatus::Done;
}

// Loads the value, and with --verify asks the board whether `reported` now shows it.
ExitStatus loadValue(FunctionCode code, std::string_view figure,
                     std::string (*reported)(const ReplyReport&), const Invocation& invocation,
                     port::BoardLine& line, ReplyOutput& output)
{
    sendCommand(line, protocol::valueFrame(code, invocation.address, invocation.value));
    if (!invocation.verify)
        return ExitStatus::Done;
    // A value as the board reports it: six hex digits, "3500" as "003500".
    return verify(invocation.address, figure, protocol::hexText(invocation.value), reported,
                  invocation, line, output);
}

} // namespace

std::optional<QString> deviceOf(const Invocation& invocation)
{
    if (invocation.device)
        return port::resolvedDevice(QFile::encodeName(*invocation.device));
    return port::deviceForPort(invocation.portNumber);
}

ExitStatus runCommand(const Invocation& invocation, port::BoardLine& line, ReplyOutput& output)
{
    switch (invocation.command) {
    case Command::Info:
        return statusOf(query(protocol::kIdentityPairValue, invocation, line, output));
    case Command::Status: return statusOf(query(invocation.address, invocation, line, output));
    case Command::Start: return control(ControlCode::Start, invocation, line);
    case Command::Stop: return control(ControlCode::Stop, invocation, line);
    case Command::Clear: return control(ControlCode::Clear, invocation, line);
    case Command::Goal:
        return loadValue(
            FunctionCode::SetGoal, "goal",
            [](const ReplyReport& report) { return report.figures.goal; }, invocation, line,
            output);
    case Command::Actual:
        return loadValue(
            FunctionCode::SetActual, "actual",
            [](const ReplyReport& report) { return report.figures.actual; }, invocation, line,
            output);
    case Command::Increment:
        // No reply carries the increment: --verify is refused with it.
        return loadValue(FunctionCode::SetIncrement, "increment", nullptr, invocation, line,
                         output);
    case Command::SetAddress:
        sendCommand(line, protocol::setAddressFrame(invocation.newAddress));
        if (!invocation.verify)
            return ExitStatus::Done;
        return verify(
            invocation.newAddress, "address", std::to_string(invocation.newAddress),
            [](const ReplyReport& report) { return std::to_string(report.address); }, invocation,
            line, output);
    case Command::Scan: return scan(invocation, line, output);
    case Command::Watch: return watch(invocation, line, output);
    }
    return ExitStatus::Usage;
}

} // namespace kxlt::ctl
