#include "ctl/answer.h"

#include "ctl/error_output.h"

#include <QEventLoop>
#include <QTimer>

namespace kxlt::ctl {

namespace {

void runFor(QEventLoop& loop, std::chrono::milliseconds limit)
{
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(limit);
    loop.exec();
}

} // namespace

Answer awaitAnswer(BoardLine& line, std::chrono::milliseconds timeout,
                   std::optional<std::uint8_t> from)
{
    Answer answer;
    if (line.lostReason()) {
        answer.kind = Answer::Kind::PortLost;
        return answer;
    }
    bool answered = false;
    bool junkSeen = false;
    QEventLoop loop;
    QObject::connect(&line, &BoardLine::lineEvent, &loop, [&](const protocol::LineEvent& event) {
        if (answered)
            return;
        const bool good = event.kind == protocol::LineEventKind::Reply;
        if (event.kind == protocol::LineEventKind::Junk) {
            junkSeen = true;
            return;
        }
        if (good && from && event.bytes[protocol::kReplyAddressByte] != *from)
            return;
        answer = {good ? Answer::Kind::Reply : Answer::Kind::DamagedReply, event.bytes};
        answered = true;
        loop.quit();
    });
    QObject::connect(&line, &BoardLine::lost, &loop, &QEventLoop::quit);
    runFor(loop, timeout);
    if (!answered && line.lostReason())
        answer.kind = Answer::Kind::PortLost;
    else if (!answered && junkSeen)
        answer.kind = Answer::Kind::OnlyJunk;
    return answer;
}

void awaitQuiet(BoardLine& line, std::chrono::milliseconds limit)
{
    if (line.quiet() || line.lostReason())
        return;
    QEventLoop loop;
    QObject::connect(&line, &BoardLine::wentQuiet, &loop, &QEventLoop::quit);
    QObject::connect(&line, &BoardLine::lost, &loop, &QEventLoop::quit);
    runFor(loop, limit);
}

std::string lostText(const QString& reason)
{
    return "the port was closed: " + reason.toStdString();
}

ExitStatus reportFailure(const Answer& answer, const BoardLine& line,
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
