#include "ctl/watch.h"

#include "ctl/answer.h"
#include "ctl/error_output.h"
#include "ctl/stop_signal.h"

#include <QEventLoop>
#include <QTimer>

namespace kxlt::ctl {

ExitStatus watch(const Invocation& invocation, BoardLine& line, ReplyOutput& output)
{
    const StopSignal stop;
    QEventLoop loop;
    QTimer ticker;
    ExitStatus status = ExitStatus::Done;
    unsigned replies = 0;
    bool answered = true;
    const auto counted = [&] { return invocation.count && replies == *invocation.count; };

    const auto ask = [&] {
        if (!answered)
            printError("no answer from address " + std::to_string(invocation.address) + " within " +
                       std::to_string(invocation.interval.count()) + " ms");
        answered = false;
        line.send(protocol::queryFrame(invocation.address));
    };
    QObject::connect(&ticker, &QTimer::timeout, &loop, ask);
    QObject::connect(&line, &BoardLine::lineEvent, &loop, [&](const protocol::LineEvent& event) {
        if (counted())
            return;
        switch (event.kind) {
        case protocol::LineEventKind::Reply:
            answered = true;
            output.printRow(reportReply(event.bytes), QDateTime::currentDateTime());
            ++replies;
            if (counted())
                loop.quit();
            break;
        case protocol::LineEventKind::DamagedReply:
            answered = true;
            printError(kDamagedText);
            break;
        case protocol::LineEventKind::Junk: printError(kJunkText); break;
        }
    });
    QObject::connect(&line, &BoardLine::lost, &loop, [&](const QString& reason) {
        printError(lostText(reason));
        status = ExitStatus::PortFailed;
        loop.quit();
    });
    QObject::connect(&stop, &StopSignal::received, &loop, &QEventLoop::quit);

    // As the window's automatic test does before each query.
    line.setDataTerminalReady(false);
    ask();
    ticker.start(invocation.interval);
    loop.exec();
    return status;
}

} // namespace kxlt::ctl
