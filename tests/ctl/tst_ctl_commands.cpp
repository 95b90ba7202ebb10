// kxltctl's commands on a fake line whose boards the test plays: what they make of the answers,
// their exit statuses and what they print. The frames reaching a board are proven end to end.
#include "fake_serial_link.h"
#include "reply_bytes.h"
#include "snapshot.h"

#include "ctl/commands.h"
#include "ctl/options.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sstream>
#include <tuple>
#include <utility>

using namespace kxlt;
using ctl::ExitStatus;

namespace {

// An answer that makes the adapter go away, after what comes before it.
const QByteArray kLost = "lost";
// Noise as long as a reply, which holds none; an answer beginning with it comes after it.
const QByteArray kJunk(27, '\x01');

QByteArray reply(int address, std::uint32_t goal = 0x002000)
{
    return replyBytes({.goal = goal, .address = static_cast<std::uint8_t>(address)});
}

} // namespace

class CtlCommandsTest : public QObject {
    Q_OBJECT

    FakeSerialLink link;
    port::BoardLine line{link};
    QTimer board;
    // What the boards send back to each query in turn: a reply, nothing (empty) or kLost.
    QByteArrayList answers;
    qsizetype heard = 0;
    // What a command prints on standard output and on standard error.
    std::ostringstream printed, said;

    void answerQueries()
    {
        for (; heard < link.written.size(); ++heard) {
            if (link.written[heard].at(1) != static_cast<char>(0xF9) || answers.isEmpty())
                continue;
            const QByteArray answer = answers.takeFirst();
            const qsizetype junk = answer.startsWith(kJunk) ? kJunk.size() : 0;
            const qsizetype lost = answer.endsWith(kLost) ? kLost.size() : 0;
            if (junk)
                link.receive(kJunk); // a burst of its own
            if (answer.size() > junk + lost)
                link.receive(answer.mid(junk, answer.size() - junk - lost));
            if (lost)
                link.lose(QStringLiteral("gone"));
        }
    }
    ExitStatus run(const QString& arguments, const QByteArrayList& replies)
    {
        const auto invocation =
            std::get<ctl::Invocation>(ctl::parseArguments(arguments.split(' ')));
        answers = replies;
        ctl::ReplyOutput output(invocation.format, printed);
        std::streambuf* const console = std::cerr.rdbuf(said.rdbuf());
        const ExitStatus status = ctl::runCommand(invocation, line, output);
        std::cerr.rdbuf(console);
        return status;
    }

private slots:
    void initTestCase()
    {
        connect(&board, &QTimer::timeout, this, &CtlCommandsTest::answerQueries);
        board.start(1);
    }
    void init()
    {
        link.written.clear();
        link.dtr.reset();
        heard = 0;
        printed.str({});
        said.str({});
        QVERIFY(line.open(1, QStringLiteral("fake")));
        link.quiet();
    }

    // The port lost while asking 2, and open again: 2 is asked again, and only 2 answers.
    void watchAsksTheSameBoardAfterAReconnect()
    {
        QCOMPARE(run("--timeout 10 --reconnect --count 1 watch --address 1,2",
                     {reply(1), kLost, reply(7) + reply(2)}),
                 ExitStatus::Done);
        QCOMPARE(link.written.last().toHex(), "aaf902fd02fd00ab00");
    }

    // Another device still talking: the query waits for the quiet line; the port lost meanwhile
    // ends the wait at once. On a line already quiet it goes out at once.
    void queryWaitsForTheQuietLine()
    {
        QElapsedTimer waited;
        for (const bool lost : {false, true}) {
            init();
            emit link.received("abc");
            bool sentEarly = true;
            QTimer::singleShot(150, this, [&] {
                sentEarly = !link.written.isEmpty();
                lost ? link.lose(QStringLiteral("gone")) : link.quiet();
            });
            waited.start();
            QCOMPARE(run("--timeout 10 status", {reply(1)}),
                     lost ? ExitStatus::PortFailed : ExitStatus::Done);
            QVERIFY(!sentEarly && waited.elapsed() < 600);
        }
        init();
        waited.start();
        QCOMPARE(run("--timeout 10 status", {reply(1)}), ExitStatus::Done);
        QCOMPARE_LT(waited.elapsed(), 500);
    }

    // An echo of the query goes quiet before the answer comes; the answer still arriving at the
    // time-out is waited for until the line is quiet.
    void answerArrivingAtTheTimeout()
    {
        QTimer::singleShot(2, this, [this] { link.receive(kJunk); });
        QTimer::singleShot(5, this, [this] { emit link.received(reply(1).left(10)); });
        QTimer::singleShot(40, this, [this] { link.receive(reply(1).mid(10)); });
        QCOMPARE(run("--timeout 20 status", {}), ExitStatus::Done);
    }

    // A stop signal during the wait for the next query, or for a lost port to come back, ends
    // watch there: the boards not yet asked are not asked, and the status is that of the queries
    // made (one unanswered). DTR is cleared as the window's automatic test clears it.
    void watchEndsOnStopSignal()
    {
        const std::tuple<int, QString, QByteArrayList, qsizetype> table[] = {
            {SIGINT, "--interval 100 --count 3 watch", {{}, reply(1)}, 1},
            {SIGTERM, "--reconnect watch --address 1,2,3", {{}, kLost}, 2}};
        for (const auto& [signal, command, answers, asked] : table) {
            init();
            QTimer::singleShot(50, this, [signal = signal] { std::raise(signal); });
            QCOMPARE(run("--timeout 10 " + command, answers), ExitStatus::NoAnswer);
            QCOMPARE(link.written.size(), asked);
            QCOMPARE(link.dtr.value_or(true), false);
            struct sigaction after = {};
            sigaction(signal, nullptr, &after);
            QVERIFY(after.sa_handler == SIG_DFL);
        }
    }

    // What each command prints, on standard output and on standard error, its exit status and how
    // many queries it sent, as approved in tests/snapshots/kxltctl-output.txt: each format for a
    // worked reply, hex digits in a goal (no difference, no efficiency) and a third as efficiency;
    // then answers of every kind. scan and watch ask every address and every round of --count,
    // answered or not. The time of arrival is local (UTC+3 here).
    void outputAsApproved()
    {
        qputenv("TZ", "UTC-3");
        const QByteArray none;
        const QByteArrayList worked{reply(1), reply(2, 0xABC), reply(3, 0x003000)};
        const QString watch = QStringLiteral("--count 1 watch --address 1-3");
        const std::pair<QString, QByteArrayList> table[] = {
            {"status", worked},
            {"scan 1-3", worked},
            {watch, worked},
            {"--json status", worked},
            {"--json scan 1-3", worked},
            {"--json " + watch, worked},
            {"--csv scan 1-3", worked},
            {"--csv " + watch, worked},
            {"scan 3-6", {reply(3), none, withBadCheck(reply(5)), reply(6)}},
            {"scan 3-4", {reply(7), reply(4)}},
            {"scan 0-1", {none, none}},
            {"scan 0-1", {none, withBadCheck(reply(1))}},
            {"scan 0-1", {kJunk}},
            {"scan 0-1", {kLost}},
            // Another board's answer passed over, the asked board's answer behind another's.
            {"status", {reply(7)}},
            {"status", {reply(7) + reply(1)}},
            // A damaged answer counts whatever its address; a good one behind junk is good.
            {"status", {withBadCheck(reply(7))}},
            {"status", {kJunk + reply(1)}},
            {"status", {kJunk}},
            {"status", {reply(1) + kLost}},
            {"set-address 9", {}},
            {"--json --interval 1 --count 3 watch", {reply(1), none, reply(1)}},
            {"--interval 1 --count 2 watch", {reply(1), withBadCheck(reply(1))}},
        };
        QString transcript;
        for (const auto& [command, replies] : table) {
            init();
            const auto status = run("--timeout 10 " + command, replies);
            transcript += "$ kxltctl " + command + '\n' + QString::fromStdString(printed.str()) +
                          QString::fromStdString(said.str()) +
                          QStringLiteral("exit %1, %2 sent\n")
                              .arg(static_cast<int>(status))
                              .arg(link.written.size());
        }
        qunsetenv("TZ");
        compareWithSnapshot(
            QStringLiteral("kxltctl-output.txt"),
            transcript.replace(QRegularExpression(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3})"),
                               "YYYY-MM-DDThh:mm:ss.mmm"));
    }
};

QTEST_GUILESS_MAIN(CtlCommandsTest)
#include "tst_ctl_commands.moc"
