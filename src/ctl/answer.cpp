#include "ctl/answer.h"

#include "ctl/error_output.h"

#include <QEventLoop>
#include <QTimer>

namespace kxlt::ctl {

namespace {

// A line that does not go quiet (another device talking, noise) must not hold a query back for
// ever, nor an answer that is still arriving at its time-out.
constexpr auto kQuietWaitLimit = 10 * port::kQuietTime;
constexpr auto kConfirmLimit = 3 * port::kQuietTime;

} // namespace

Answer ask(port::BoardLine& line, const protocol::TransmitBuffer& query,
           std::chrono::milliseconds timeout, std::optional<std::uint8_t> from)
{
    Answer answer;
    line.awaitQuiet(kQuietWaitLimit);
    if (line.lostReason()) {
        answer.kind = Answer::Kind::PortLost;
        return answer;
    }
    bool answered = false;
    bool junkSeen = false;
    QEventLoop loop;
    QObject::connect(
        &line, &port::BoardLine::lineEvent, &loop, [&](const protocol::LineEvent& event) {
            if (answered)
                return;
            if (event.kind == protocol::LineEventKind::Junk) {
                junkSeen = true;
                return;
            }
            const bool good = event.kind == protocol::LineEventKind::Reply;
            if (good && from && event.bytes[protocol::kReplyAddressByte] != *from)
                return;
            answer = {good ? Answer::Kind::Reply : Answer::Kind::DamagedReply, event.bytes};
            answered = true;
            loop.quit();
        });
    QObject::connect(&line, &port::BoardLine::lost, &loop, &QEventLoop::quit);
    // At the time-out an answer may still be arriving: its quiet line decides.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        if (line.quiet())
            loop.quit();
        else
            QTimer::singleShot(kConfirmLimit, &loop, &QEventLoop::quit);
    });
    QObject::connect(&line, &port::BoardLine::wentQuiet, &loop, [&] {
        if (!deadline.isActive())
            loop.quit();
    });
    line.send(query);
    deadline.start(timeout);
    loop.exec();
    if (!answered && line.lostReason())
        answer.kind = Answer::Kind::PortLost;
    else if (!answered && junkSeen)
        answer.kind = Answer::Kind::OnlyJunk;
    return answer;
}

std::string lostText(const QString& reason)
{
    return "the port was closed: " + reason.toStdString();
}

void reportBadAnswer(unsigned address, const Answer& answer)
{
    printError("address " + std::to_string(address) + ": " +
               std::string(answer.kind == Answer::Kind::OnlyJunk ? kJunkText : kDamagedText));
}

ExitStatus reportFailure(const Answer& answer, const port::BoardLine& line,
                         std::chrono::milliseconds timeout)
{
    switch (answer.kind) {
    case Answer::Kind::Reply: return ExitStatus::Done;
    case Answer::Kind::NoAnswer:
        printError("no answer within " + std::to_string(timeout.count()) + " ms");
        return ExitStatus::NoAnswer;
    case Answer::Kind::DamagedReply: printError(kDamagedText); return ExitStatus::BadAnswer;
    case Answer::Kind::OnlyJunk: printError(kJunkText); return ExitStatus::BadAnswer;
    case Answer::Kind::PortLost:
        printError(lostText(line.lostReason().value_or(QString())));
        return ExitStatus::PortFailed;
    }
    return ExitStatus::NoAnswer;
}

} // namespace kxlt::ctl
