#include "ctl/watch.h"

#include "ctl/answer.h"
#include "ctl/commands.h"
#include "ctl/error_output.h"
#include "ctl/mqtt_publisher.h"
#include "ctl/stop_signal.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <optional>

namespace kxlt::ctl {

namespace {

constexpr std::chrono::seconds kReopenEvery{1};

class Watch {
public:
    Watch(const Invocation& invocation, port::BoardLine& line, ReplyOutput& output)
        : invocation_(invocation), line_(line), output_(output)
    {
        QObject::connect(&stop_, &StopSignal::received, &line_, [this] { stopped_ = true; });
        if (invocation_.mqtt)
            publisher_.emplace(*invocation_.mqtt);
    }

    ExitStatus run()
    {
        // As the window's automatic test does before each query.
        line_.setDataTerminalReady(false);
        for (unsigned round = 0; !stopped_ && (!invocation_.count || round < *invocation_.count);
             ++round) {
            // A round that takes longer than the interval is followed by the next at once.
            const QDeadlineTimer nextRound(invocation_.interval);
            for (const std::uint8_t address : invocation_.addresses) {
                if (const auto failed = askBoard(address))
                    return *failed;
            }
            if (!invocation_.count || round + 1 < *invocation_.count)
                waitUntil(nextRound);
        }
        if (anyUnanswered_)
            return ExitStatus::NoAnswer;
        return anyBadAnswer_ ? ExitStatus::BadAnswer : ExitStatus::Done;
    }

private:
    // Asks one board and says what came back; a status when the watch must end.
    std::optional<ExitStatus> askBoard(std::uint8_t address)
    {
        if (stopped_)
            return std::nullopt;
        Answer answer = ask(line_, protocol::queryFrame(address), invocation_.timeout, address);
        while (answer.kind == Answer::Kind::PortLost) {
            if (!invocation_.reconnect)
                return reportFailure(answer, line_, invocation_.timeout);
            printError(lostText(line_.lostReason().value_or(QString())));
            printError("opening it again every second");
            if (!reopen())
                return std::nullopt;
            answer = ask(line_, protocol::queryFrame(address), invocation_.timeout, address);
        }
        const QDateTime now = QDateTime::currentDateTime();
        switch (answer.kind) {
        case Answer::Kind::Reply: {
            const ReplyReport report = reportReply(answer.reply);
            output_.printRow(report, now);
            if (publisher_) {
                publisher_->publishReading(address,
                                           QByteArray::fromStdString(jsonRow(report, now)));
                publisher_->publishState(address, true);
            }
            break;
        }
        case Answer::Kind::NoAnswer:
            printError("no answer from address " + std::to_string(address) + " within " +
                       std::to_string(invocation_.timeout.count()) + " ms");
            output_.printSilence(address, now);
            if (publisher_)
                publisher_->publishState(address, false);
            anyUnanswered_ = true;
            break;
        case Answer::Kind::DamagedReply:
        case Answer::Kind::OnlyJunk:
            reportBadAnswer(address, answer);
            anyBadAnswer_ = true;
            break;
        case Answer::Kind::PortLost: break;
        }
        if (output_.failed())
            return ExitStatus::OutputFailed;
        return std::nullopt;
    }

    // Tries the same device every second until it opens; false when stopped first.
    bool reopen()
    {
        while (!stopped_) {
            waitUntil(QDeadlineTimer(kReopenEvery));
            if (!stopped_ && line_.open(invocation_.portNumber, deviceOf(invocation_))) {
                printError("the port is open again");
                return true;
            }
        }
        return false;
    }

    // Runs the event loop until `until`, or until a stop signal comes.
    void waitUntil(const QDeadlineTimer& until)
    {
        if (until.hasExpired() || stopped_)
            return;
        QEventLoop loop;
        QTimer::singleShot(until.remainingTime(), &loop, &QEventLoop::quit);
        QObject::connect(&stop_, &StopSignal::received, &loop, &QEventLoop::quit);
        loop.exec();
    }

    const Invocation& invocation_;
    port::BoardLine& line_;
    ReplyOutput& output_;
    const StopSignal stop_;
    bool stopped_ = false;
    bool anyUnanswered_ = false;
    bool anyBadAnswer_ = false;
    std::optional<MqttPublisher> publisher_;
};

} // namespace

ExitStatus watch(const Invocation& invocation, port::BoardLine& line, ReplyOutput& output)
{
    return Watch(invocation, line, output).run();
}

} // namespace kxlt::ctl
