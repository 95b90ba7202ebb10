#include "ctl/watch.h"

#include "ctl/answer.h"
#include "ctl/error_output.h"
#include "ctl/stop_signal.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace kxlt::ctl {

namespace {

// Runs the event loop until `until`, or until a stop signal comes.
void waitUntil(const QDeadlineTimer& until, const StopSignal& stop)
{
    if (until.hasExpired())
        return;
    QEventLoop loop;
    QTimer::singleShot(until.remainingTime(), &loop, &QEventLoop::quit);
    QObject::connect(&stop, &StopSignal::received, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

ExitStatus watch(const Invocation& invocation, port::BoardLine& line, ReplyOutput& output)
{
    const StopSignal stop;
    bool stopped = false;
    QObject::connect(&stop, &StopSignal::received, &line, [&stopped] { stopped = true; });
    bool anyUnanswered = false;
    bool anyBadAnswer = false;
    // As the window's automatic test does before each query.
    line.setDataTerminalReady(false);
    for (unsigned asked = 0; !stopped && (!invocation.count || asked < *invocation.count);
         ++asked) {
        // A query, its answer and the quiet line after it set the pace when they take longer.
        const QDeadlineTimer nextQuery(invocation.interval);
        const Answer answer = ask(line, protocol::queryFrame(invocation.address),
                                  invocation.timeout, invocation.address);
        switch (answer.kind) {
        case Answer::Kind::Reply:
            output.printRow(reportReply(answer.reply), QDateTime::currentDateTime());
            if (output.failed())
                return ExitStatus::OutputFailed;
            break;
        case Answer::Kind::NoAnswer:
            printError("no answer from address " + std::to_string(invocation.address) + " within " +
                       std::to_string(invocation.timeout.count()) + " ms");
            anyUnanswered = true;
            break;
        case Answer::Kind::DamagedReply:
        case Answer::Kind::OnlyJunk:
            printError(answer.kind == Answer::Kind::DamagedReply ? kDamagedText : kJunkText);
            anyBadAnswer = true;
            break;
        case Answer::Kind::PortLost: return reportFailure(answer, line, invocation.timeout);
        }
        if (!invocation.count || asked + 1 < *invocation.count)
            waitUntil(nextQuery, stop);
    }
    if (anyUnanswered)
        return ExitStatus::NoAnswer;
    return anyBadAnswer ? ExitStatus::BadAnswer : ExitStatus::Done;
}

} // namespace kxlt::ctl
