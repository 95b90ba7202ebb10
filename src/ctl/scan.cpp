#include "ctl/scan.h"

#include "ctl/answer.h"
#include "ctl/error_output.h"

namespace kxlt::ctl {

ExitStatus scan(const Invocation& invocation, port::BoardLine& line, ReplyOutput& output)
{
    bool anyAnswered = false;
    bool anyBadAnswer = false;
    for (unsigned address = invocation.range.first; address <= invocation.range.last; ++address) {
        const auto queried = static_cast<std::uint8_t>(address);
        const Answer answer = ask(line, protocol::queryFrame(queried), invocation.timeout, queried);
        switch (answer.kind) {
        case Answer::Kind::Reply:
            output.printRow(reportReply(answer.reply), QDateTime::currentDateTime());
            if (output.failed())
                return ExitStatus::OutputFailed;
            anyAnswered = true;
            break;
        case Answer::Kind::DamagedReply:
        case Answer::Kind::OnlyJunk:
            reportBadAnswer(address, answer);
            anyBadAnswer = true;
            break;
        case Answer::Kind::PortLost: return reportFailure(answer, line, invocation.timeout);
        case Answer::Kind::NoAnswer: break;
        }
    }
    if (anyAnswered)
        return ExitStatus::Done;
    printError("no board answered at addresses " + std::to_string(invocation.range.first) + "-" +
               std::to_string(invocation.range.last));
    return anyBadAnswer ? ExitStatus::BadAnswer : ExitStatus::NoAnswer;
}

} // namespace kxlt::ctl
