// The simulated board's own rules: its options, how it reacts to frames as time passes, what the
// line adds to its replies, when its bytes go out, and the damage it adds on request. How the
// window takes what it sends is for the end-to-end tests.
#include "event_log.h"
#include "frame_parser.h"
#include "hex.h"
#include "noise_source.h"
#include "options.h"
#include "outgoing_queue.h"
#include "reply_faults.h"
#include "responder.h"
#include "shared_line.h"
#include "snapshot.h"
#include "trace_format.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <algorithm>
#include <iostream>
#include <sstream>

using namespace boardsim;
using namespace std::chrono_literals;

namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

Instant after(std::chrono::microseconds time) { return Instant{} + time; }

// Goal, actual, seconds, then address and check of a reply, read straight from its bytes.
QString fields(const Reply& reply)
{
    const QString h = QByteArray(reinterpret_cast<const char*>(reply.data()), kReplySize).toHex();
    return QStringList{h.mid(18, 6), h.mid(26, 6), h.mid(32, 4), h.mid(50, 4)}.join(' ').toUpper();
}

// What goes to standard output while it lives.
struct ConsoleCapture {
    std::ostringstream text;
    std::streambuf* const console = std::cout.rdbuf(text.rdbuf());
    ~ConsoleCapture() { std::cout.rdbuf(console); }
};

// Every setting the parser made of the options, or why it refused them.
QString settings(const std::vector<const char*>& args)
{
    const auto parsed = parseOptions(args);
    if (const auto* error = std::get_if<UsageError>(&parsed))
        return QString::fromStdString(error->message);
    const auto& o = std::get<Options>(parsed);
    std::ostringstream out;
    out << "serial " << o.board.serial << " version " << std::hex << int(o.board.version)
        << std::dec << " step " << o.board.step.count() << " addresses " << toHex(o.addresses)
        << " link " << o.linkPath.value_or("-") << " record " << o.recordPath.value_or("-")
        << " trace " << o.trace << " silent " << o.silent << " echo " << o.echo << " faults "
        << o.faults.badCheckEvery << ',' << o.faults.garbageEvery << ','
        << o.faults.noiseBeforeEvery << ',' << o.faults.insertEvery << " baud " << o.pacing.baud
        << " chunk " << o.pacing.chunkSize << '/' << o.pacing.chunkGap.count() << " noise "
        << o.noiseEvery.count() << " seed " << (o.seed ? std::to_string(*o.seed) : "-")
        << " hangup " << o.hangupAfter.value_or(0s).count() << " trailer " << toHex(o.trailer);
    return QString::fromStdString(out.str());
}

} // namespace

class TestBoardSim : public QObject {
    Q_OBJECT

private slots:
    void parsesOptionsAsItsHelpSays()
    {
        compareWithSnapshot(QStringLiteral("kxlt-boardsim-help.txt"),
                            QString::fromUtf8(helpText()));
        // Every option once, a flag twice.
        const std::vector<const char*> commandLines[] = {
            {},
            {"--version", "2.5", "--chunk", "5", "--chunk-gap-ms", "20", "--noise-every", "9",
             "--seed", "42", "--link", "/l", "--hangup-after", "1.5"},
            {"--trace", "--trace", "--silent", "--echo", "--address", "1,7", "--serial", "654321",
             "--step-ms", "250", "--record", "/r"},
            {"--bad-check-every", "2", "--garbage-every", "3", "--noise-before-every", "4",
             "--insert-every", "5", "--baud", "9600", "--trailer", "0d 0A"},
            {"--address", "1,,7"},
            {"--version", "25"},
            {"--chunk-gap-ms", "5"},
            {"--noise-before-every", "3", "--seed", "7"},
            {"--insert-every", "5", "--seed", "0"},
            {"--seed", "42"},
            {"--noise-before-every", "0"},
            {"--insert-every", "-1"},
            {"--trailer", "0D0"},
            {"--trailer", "0G"},
            {"--trailer", ""},
            {"--baud"},
            {"--serial", "1000000"},
            {"--serial", "12abc"},
        };
        QString outcomes;
        for (const auto& args : commandLines)
            outcomes += "$ kxlt-boardsim " + QStringList(args.begin(), args.end()).join(' ') +
                        '\n' + settings(args) + '\n';
        compareWithSnapshot(QStringLiteral("kxlt-boardsim-command-lines.txt"), outcomes);
    }

    // The program around the board, a process of its own: its help, refusals and system errors
    // with their exit statuses, and, on a line that took a byte, what it says until it hangs up.
    void runsAsAProgram()
    {
        QString transcript;
        for (const QString& args :
             QStringLiteral("--help; --bogus; --record /nonexistent/r; --link /nonexistent/l; "
                            "--record /dev/full; --echo --trace --hangup-after 0.2")
                 .split("; ")) {
            QProcess board;
            board.start(QStringLiteral(BOARDSIM_PATH), args.split(' '));
            board.waitForReadyRead(5000);
            const QByteArray device = board.readLine();
            if (QFile line(device.trimmed());
                device.startsWith("/dev/pts/") &&
                line.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                QCOMPARE(line.write("\x12"), 1);
            QVERIFY(board.waitForFinished(5000) || board.state() == QProcess::NotRunning);
            transcript +=
                "$ kxlt-boardsim " + args + '\n' +
                QString(device + board.readAll()).replace(QString::fromUtf8(helpText()), "HELP\n") +
                QStringLiteral("exit %1; stderr: %2\n")
                    .arg(board.exitCode())
                    .arg(QString(board.readAllStandardError()).trimmed());
        }
        transcript.replace(QRegularExpression("/dev/pts/\\d+"), "DEVICE")
            .replace(QRegularExpression("quiet \\d+ ms"), "quiet N ms");
        compareWithSnapshot(QStringLiteral("kxlt-boardsim-runs.txt"), transcript);
    }

    // Boards at 1 and 7 share a line and step every 250 ms. Each step is "ms: frames => replies",
    // each reply as goal, actual, seconds, then address and check. Frames arrive in reads of 13
    // bytes, so that some are split and some reads hold the ends of two.
    void reactsToFrames()
    {
        const QStringList scripts[] = {
            // Goal 3500, increment 10, actual 1000, start twice as the tool sends it; stop; query,
            // start; query, clear, query: start counts by the increment, stop keeps the count and a
            // part step, clear zeroes both while running.
            {"0: AAF0010035000034 00 AAF2010000100011 00 "
             "AAF1010010000011 00 AAF5011100000010 00 AAF5011100000010 00 =>",
             "1100: AAF5012200000023 00 =>",
             "5000: AAF901FE01FE00AB 00 AAF5011100000010 00 => 003500 001040 0001 0177",
             "5200: AAF901FE01FE00AB 00 AAF5013300000032 00 AAF901FE01FE00AB 00 "
             "=> 003500 001050 0001 0167, 003500 000000 0000 0126",
             "5400: AAF901FE01FE00AB 00 => 003500 000000 0000 0126"},
            // Actual 999995, increment 100010, start: the count wraps past 999999; the part step
            // carries over between queries.
            {"0: AAF1019999950094 00 AAF2011000100001 00 AAF5011100000010 00 =>",
             "300: AAF901FE01FE00AB 00 => 000000 100005 0000 0106",
             "600: AAF901FE01FE00AB 00 => 000000 200015 0000 0126"},
            // Actual 1000 and start for 1; start, stop, clear, goal, actual, increment for 2;
            // queries for 1 and 7, the identity query; set address 85, queries for 1 and 85. Each
            // board obeys only its own commands; both answer the identity query, both move to 85.
            {"0: AAF1010010000011 00 AAF5011100000010 00 AAF5021100000013 00 "
             "AAF5022200000020 00 AAF5023300000031 00 AAF0020035000037 00 "
             "AAF1020010000012 00 AAF2020000100012 00 =>",
             "1000: AAF901FE01FE00AB 00 AAF907F807F800AB 00 AAF9639C639C00AB 00 "
             "=> 000000 001004 0001 0106, 000000 000000 0000 0715, "
             "000000 000000 0000 0104 x2",
             "1000: AAFB5555AAAA00AB 00 AAF901FE01FE00AB 00 AAF955AA55AA00AB 00 "
             "=> 000000 000000 0000 5542 x2"},
        };
        for (const QStringList& steps : scripts) {
            SharedLine line({.step = 250ms}, std::array<std::uint8_t, 2>{1, 7});
            FrameParser parser;
            for (const QString& step : steps) {
                const QString sent = step.section(QStringLiteral("=>"), 0, 0);
                const Instant at = after(sent.section(':', 0, 0).toInt() * 1ms);
                const QByteArray frames = QByteArray::fromHex(sent.section(':', 1).toLatin1());
                QStringList answered;
                for (qsizetype from = 0; from < frames.size(); from += 13)
                    for (const ParseEvent& event : parser.feed(bytesOf(frames.mid(from, 13))))
                        if (const auto* frame = std::get_if<Frame>(&event))
                            if (const auto answer = line.handle(*frame, at))
                                answered
                                    << fields(answer->reply) + (answer->boards > 1 ? " x2" : "");
                QCOMPARE((sent + "=> " + answered.join(", ")).trimmed(), step);
            }
        }
    }

    // What the tool reads back, byte for byte, for what it sends in reads of 13 bytes: the echo of
    // every byte first, then each reply (damaged ones too, noise right before some) with the
    // trailer right behind it. What the trace says of it all is approved in
    // tests/snapshots/boardsim-trace.txt: stray bytes, each frame described, frames for other
    // boards marked, malformed buffers with the reason (one may hide the start of a good frame: the
    // search goes on from its second byte), and what went out.
    void answersLikeARealLine()
    {
        const QByteArray query1 = "AAF901FE01FE00AB00", query2 = "AAF902FD02FD00AB00";
        // Marker, "KX-LT   ", goal 000000, 00, actual 000000, seconds 0000, 000000, serial 123456,
        // version 3.0, address 1, check; bad check; garbage.
        const QByteArray reply = "544B582D4C54202020 00000000 000000 0000 000000 123456 30 01 13";
        const QByteArray badCheck = reply.chopped(2) + "EC", garbage = "AA" + QByteArray(52, '5');
        const std::tuple<std::vector<const char*>, QByteArray, QByteArray> table[] = {
            {{"--trailer", "0d 0A"},
             query1 + "AAF5011100000010 00" + query1,
             reply + "0D0A" + reply + "0D0A"},
            {{"--trailer", "FF", "--bad-check-every", "2", "--garbage-every", "3"},
             query1 + query1 + query1,
             reply + "FF" + badCheck + "FF" + garbage + "FF"},
            {{"--echo", "--trailer", "00"},
             "12" + query2 + query1,
             "12" + query2 + query1 + reply + "00"},
            // Seed 11: noise before the second and fourth reply, 0x0A inserted at index 4 of
            // the third.
            {{"--noise-before-every", "2", "--insert-every", "3", "--seed", "11", "--trailer",
              "00"},
             query1 + query1 + query1 + query1,
             reply + "00" + "0554EAB02B6B549C6C5708" + reply + "00" +
                 "544B582D 0A 4C54202020 00000000 000000 0000 000000 123456 30 01 13 00" +
                 "54D8352131F3" + reply + "00"},
            // Noise, a stray sync byte, goal 9931 for 2 with its check 0xAA sent as 0xAB, commands
            // for 1, 2 and 7; buffers malformed by their check, trailing byte, a check 0xAA sent
            // as such, data in a control, an unknown control, a value not BCD, byte 6, a broken
            // pair, byte 7, the pair's check, set address in the order of a query. Both boards,
            // now at 85, answer the identity query at once.
            {{"--address", "1,7"},
             "12 AA AAF00200993100AB 00 AAF5011100000010 00 AAF5023300000031 00 "
             "AAF0070035000032 00 AAF2070000050002 00 AAF1010010000010 00 AAF5011100000010 01 "
             "AAF10200993100AA 00 AAF5011101000011 00 AAF5014400000045 00 AAF001000A00000B 00 "
             "AAF0010035000135 00 AAF901FE01FF01AB 00 AAF901FE01FE0000 00 AAF901FE01FE01AB 00 "
             "AAFB55AA55AA00AB 00 AAFB5555AAAA00AB 00 AAF9639C639C00AB 00",
             reply.chopped(5) + "55 42"},
        };
        const ConsoleCapture trace;
        int row = 0;
        for (const auto& [args, sent, expected] : table) {
            std::cout << "== row " << ++row << '\n';
            const auto options = std::get<Options>(parseOptions(args));
            QTemporaryFile line;
            QVERIFY(line.open());
            OutgoingQueue queue(options.pacing, Instant{});
            EventLog log(true);
            Responder responder(options, options.seed.value_or(0), queue, log);
            const QByteArray bytes = QByteArray::fromHex(sent);
            for (qsizetype from = 0; from < bytes.size(); from += 13)
                responder.receive(bytesOf(bytes.mid(from, 13)), Instant{});
            queue.writeTo(line.handle(), Instant{});
            QVERIFY(line.seek(0));
            QCOMPARE(line.readAll().toHex(' '), QByteArray::fromHex(expected).toHex(' '));
        }
        compareWithSnapshot(QStringLiteral("boardsim-trace.txt"),
                            QString::fromStdString(trace.text.str()));
    }

    // Each schedule is "us[+bytes pushed then]=bytes written by then[. once none wait] ... | ms of
    // quiet line before each message"; at 9600 baud a byte takes 1041.67 us. Messages leave whole
    // and in order, and noise waits until none do, so that it never lands inside a reply.
    void sendsQueuedBytesOnSchedule()
    {
        const std::pair<Pacing, QString> schedules[] = {
            {{.baud = 9600}, "0+27=0 1041=0 1042=1 20000=19 28124=26 28125=27. | 1"},
            {{.baud = 9600}, "0+27=0 10000+3=9 31249=29 31250=30. 50000+1=30 51042=31. | 10 0 19"},
            {{.chunkSize = 5, .chunkGap = 10ms},
             "0+12=5 9999=5 10000=10 20000=12. 25000+3=12 30000=15. | 0 10"},
        };
        for (const auto& [pacing, schedule] : schedules) {
            QTemporaryFile line;
            QVERIFY(line.open());
            OutgoingQueue queue(pacing, Instant{});
            QByteArray pushed;
            QStringList written, quiet;
            for (const QString& step : schedule.section(QStringLiteral(" |"), 0, 0).split(' ')) {
                const QString at = step.section('=', 0, 0);
                // Each message the letter of its step, so that one inside another shows.
                const QByteArray message(at.section('+', 1).toInt(), char('a' + written.size()));
                pushed += message;
                if (!message.isEmpty())
                    queue.push(bytesOf(message), after(at.section('+', 0, 0).toInt() * 1us),
                               [&](auto ms) { quiet << QString::number(ms.count()); });
                queue.writeTo(line.handle(), after(at.section('+', 0, 0).toInt() * 1us));
                written << at + '=' + QString::number(line.size()) + (queue.empty() ? "." : "");
            }
            QCOMPARE(written.join(' ') + " | " + quiet.join(' '), schedule);
            QVERIFY(line.seek(0));
            QCOMPARE(line.readAll(), pushed);
        }
    }

    // Every Nth reply goes bad, garbage first, and gets noise before it or a byte inserted on
    // top. Random bytes repeat with their seed: half the bursts between replies hold the reply
    // marker, half the bursts right before a reply begin with it.
    void damageComesOnItsSchedule()
    {
        ReplyFaults faults(
            {.badCheckEvery = 2, .garbageEvery = 3, .noiseBeforeEvery = 4, .insertEvery = 5}, 42);
        QStringList sent;
        while (sent.size() < 12) {
            const ReplyDamage damage = faults.next();
            sent << QStringLiteral("-BG").at(int(damage.fault)) +
                        QString(damage.noiseBefore.empty() ? "" : "n") +
                        QString(damage.inserted ? "i" : "");
        }
        QCOMPARE(sent.join(' '), QStringLiteral("- B G Bn -i G - Bn G Bi - Gn"));
        NoiseSource noise(100ms, 42, Instant{}), again(100ms, 42, Instant{});
        const FaultSchedule everyReply{.noiseBeforeEvery = 1, .insertEvery = 1};
        ReplyFaults before(everyReply, 42), beforeAgain(everyReply, 42);
        int withMarker = 0, beginningWithMarker = 0;
        std::size_t firstIndex = kReplySize, lastIndex = 0;
        for (int i = 0; i < 100; ++i) {
            // Each burst goes out a second late.
            const auto burst = noise.takeBurst(noise.dueAt() + 1s);
            QCOMPARE(again.takeBurst(again.dueAt() + 1s), burst);
            QVERIFY(!burst.empty() && burst.size() <= 32);
            withMarker += std::ranges::count(burst, kKxltMarker) > 0 ? 1 : 0;
            const ReplyDamage damage = before.next();
            QVERIFY(beforeAgain.next() == damage);
            QVERIFY(!damage.noiseBefore.empty() && damage.noiseBefore.size() <= 32);
            beginningWithMarker += damage.noiseBefore.front() == kKxltMarker ? 1 : 0;
            firstIndex = std::min(firstIndex, damage.inserted->at);
            lastIndex = std::max(lastIndex, damage.inserted->at);
        }
        QCOMPARE(again.dueAt(), noise.dueAt());
        // The next burst 100 ms on average after the last went out.
        QVERIFY(noise.dueAt() > after(105s) && noise.dueAt() < after(120s));
        QVERIFY(withMarker > 25 && withMarker < 75);
        QVERIFY(beginningWithMarker > 25 && beginningWithMarker < 75);
        QCOMPARE(std::pair(firstIndex, lastIndex), std::pair(std::size_t(1), std::size_t(26)));
    }
};

QTEST_GUILESS_MAIN(TestBoardSim)
#include "tst_boardsim.moc"
