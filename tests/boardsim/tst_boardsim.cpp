#include "board.h"
#include "frame_decoder.h"
#include "frame_parser.h"
#include "reply.h"
#include "reply_faults.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace boardsim;
using namespace std::chrono_literals;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

std::span<const std::uint8_t> bytesOf(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

template <std::size_t N> QByteArray toByteArray(const std::array<std::uint8_t, N>& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(N)};
}

// Transmit buffers as the tool puts them on the line, all for address 1 unless named otherwise.
const QByteArray kStart = hex("AA F5 01 11 00 00 00 10 00");
const QByteArray kStop = hex("AA F5 01 22 00 00 00 23 00");
const QByteArray kClear = hex("AA F5 01 33 00 00 00 32 00");
const QByteArray kGoal3500 = hex("AA F0 01 00 35 00 00 34 00");
const QByteArray kGoal3500AtAddress2 = hex("AA F0 02 00 35 00 00 37 00");
const QByteArray kGoal3500AtAddress85 = hex("AA F0 55 00 35 00 00 60 00");
const QByteArray kGoal9932 = hex("AA F0 01 00 99 32 00 AB 00");
const QByteArray kGoal2000 = hex("AA F0 01 00 20 00 00 21 00");
const QByteArray kActual1000 = hex("AA F1 01 00 10 00 00 11 00");
const QByteArray kActual999995 = hex("AA F1 01 99 99 95 00 94 00");
const QByteArray kIncrement0 = hex("AA F2 01 00 00 00 00 01 00");
const QByteArray kIncrement10 = hex("AA F2 01 00 00 10 00 11 00");
const QByteArray kSetAddress85 = hex("AA FB 55 55 AA AA 00 AB 00");
const QByteArray kQuery1 = hex("AA F9 01 FE 01 FE 00 AB 00");
const QByteArray kQuery85 = hex("AA F9 55 AA 55 AA 00 AB 00");
const QByteArray kIdentityQuery = hex("AA F9 63 9C 63 9C 00 AB 00");

// Replies of a board with default counters, serial 123456 and version 3.0.
const QByteArray kReplyAt1 =
    hex("54 4B 58 2D 4C 54 20 20 20 00 00 00 00 00 00 00 00 00 00 00 00 12 34 56 30 01 13");
const QByteArray kReplyAt85 =
    hex("54 4B 58 2D 4C 54 20 20 20 00 00 00 00 00 00 00 00 00 00 00 00 12 34 56 30 55 47");
const QByteArray kReplyAt200 =
    hex("54 4B 58 2D 4C 54 20 20 20 00 00 00 00 00 00 00 00 00 00 00 00 12 34 56 30 C8 DA");

const Instant kStartTime{};

std::vector<ParseEvent> feedInPieces(FrameParser& parser, const QByteArray& stream, int pieceSize)
{
    std::vector<ParseEvent> events;
    const qsizetype step = pieceSize > 0 ? pieceSize : stream.size();
    for (qsizetype at = 0; at < stream.size(); at += step) {
        auto piece = parser.feed(bytesOf(stream.mid(at, step)));
        events.insert(events.end(), piece.begin(), piece.end());
    }
    return events;
}

QStringList meaningsOfFrames(const std::vector<ParseEvent>& events)
{
    QStringList meanings;
    for (const ParseEvent& event : events)
        if (const auto* frame = std::get_if<Frame>(&event))
            meanings << QString::fromStdString(describe(*frame));
    return meanings;
}

// Hands every frame of the stream to the board at the given time and returns its replies back to
// back; nothing if the stream holds a malformed buffer, which would make the row meaningless.
std::optional<QByteArray> drive(Board& board, const QByteArray& stream, Instant at)
{
    FrameParser parser;
    QByteArray replies;
    for (const ParseEvent& event : parser.feed(bytesOf(stream))) {
        if (const auto* frame = std::get_if<Frame>(&event)) {
            if (const auto reply = board.handle(*frame, at))
                replies += toByteArray(*reply);
        }
    }
    if (parser.malformedCount() != 0)
        return std::nullopt;
    return replies;
}

struct TimedBuffer {
    std::chrono::milliseconds at;
    QByteArray bytes;
};

// Reads from fd until count bytes arrived or the deadline passed.
QByteArray readWithin(int fd, qsizetype count, QDeadlineTimer deadline)
{
    QByteArray received;
    while (received.size() < count && !deadline.hasExpired()) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(deadline.remainingTime())) <= 0)
            continue;
        char buffer[64];
        const auto n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            received.append(buffer, n);
    }
    return received;
}

int openRawPort(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
    termios settings{};
    if (fd >= 0 && ::tcgetattr(fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(fd, TCSANOW, &settings);
    }
    return fd;
}

} // namespace

Q_DECLARE_METATYPE(TimedBuffer)

class TestBoardSim : public QObject {
    Q_OBJECT

private slots:
    void parsesFramesInAnySplit_data();
    void parsesFramesInAnySplit();
    void rejectsMalformedBuffers_data();
    void rejectsMalformedBuffers();
    void boardReactsToCommands_data();
    void boardReactsToCommands();
    void countsWhileRunning_data();
    void countsWhileRunning();
    void answersQueries_data();
    void answersQueries();
    void buildsReply_data();
    void buildsReply();
    void boardReportsItsStateInReply();
    void injectsReplyFaults_data();
    void injectsReplyFaults();
    void answersOverPseudoTerminal_data();
    void answersOverPseudoTerminal();
    void commandLine_data();
    void commandLine();
};

void TestBoardSim::parsesFramesInAnySplit_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("pieceSize");
    QTest::addColumn<QStringList>("meanings");
    QTest::addColumn<int>("malformed");

    QTest::newRow("whole buffer") << kStart << 0 << QStringList{"start addr 1"} << 0;
    QTest::newRow("byte by byte") << kStart << 1 << QStringList{"start addr 1"} << 0;
    QTest::newRow("sent twice, one read")
        << kStart + kStart << 0 << QStringList{"start addr 1", "start addr 1"} << 0;
    QTest::newRow("two buffers across reads of 5")
        << kGoal3500 + kQuery1 << 5 << QStringList{"set goal 3500 addr 1", "query addr 1"} << 0;
    QTest::newRow("garbage before")
        << hex("12 34 00 56") + kStop << 1 << QStringList{"stop addr 1"} << 0;
    QTest::newRow("stray sync byte before")
        << hex("AA") + kClear << 0 << QStringList{"clear addr 1"} << 1;
    QTest::newRow("stray sync byte and garbage before, byte by byte")
        << hex("AA 00 12") + kClear << 1 << QStringList{"clear addr 1"} << 1;
    QTest::newRow("check 0xAA sent as 0xAB")
        << kGoal9932 << 0 << QStringList{"set goal 9932 addr 1"} << 0;
    QTest::newRow("set address with 0xAA data, byte by byte")
        << kSetAddress85 << 1 << QStringList{"set address 85"} << 0;
    QTest::newRow("set address between other frames in reads of 4")
        << kStart + kSetAddress85 + kQuery85 << 4
        << QStringList{"start addr 1", "set address 85", "query addr 85"} << 0;
    QTest::newRow("loads") << kActual1000 + kIncrement10 + kActual999995 << 7
                           << QStringList{"set actual 1000 addr 1", "set increment 10 addr 1",
                                          "set actual 999995 addr 1"}
                           << 0;
    QTest::newRow("identity query") << kIdentityQuery << 0 << QStringList{"identity query"} << 0;
    QTest::newRow("incomplete buffer waits") << kStart.left(8) << 0 << QStringList{} << 0;
}

void TestBoardSim::parsesFramesInAnySplit()
{
    QFETCH(QByteArray, stream);
    QFETCH(int, pieceSize);
    QFETCH(QStringList, meanings);
    QFETCH(int, malformed);

    FrameParser parser;
    QCOMPARE(meaningsOfFrames(feedInPieces(parser, stream, pieceSize)), meanings);
    QCOMPARE(parser.malformedCount(), std::size_t(malformed));
}

void TestBoardSim::rejectsMalformedBuffers_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<QString>("reason");

    QTest::newRow("bad check") << hex("AA F5 01 11 00 00 00 11 00") << "bad check byte";
    QTest::newRow("check 0xAA not substituted")
        << hex("AA F0 01 00 99 32 00 AA 00") << "bad check byte";
    QTest::newRow("wrong trailing byte")
        << hex("AA F5 01 11 00 00 00 10 01") << "bad trailing byte";
    QTest::newRow("unknown function code")
        << hex("AA F3 01 11 00 00 00 10 00") << "unknown function code";
    QTest::newRow("sync byte in place of function code")
        << hex("AA AA F5 01 11 00 00 00 10") << "unknown function code";
    QTest::newRow("query pair broken")
        << hex("AA F9 01 FE 01 FF 00 AB 00") << "broken address pair";
    QTest::newRow("set address in query order")
        << hex("AA FB 55 AA 55 AA 00 AB 00") << "broken address pair";
    QTest::newRow("pair layout without 0xAB")
        << hex("AA F9 01 FE 01 FE 00 00 00") << "byte 7 not 0xAB";
    QTest::newRow("pair layout check not 0x00")
        << hex("AA F9 01 FE 01 FE 01 AB 00") << "bad check byte";
    QTest::newRow("unknown control code")
        << hex("AA F5 01 44 00 00 00 45 00") << "unknown control code";
    QTest::newRow("control with data")
        << hex("AA F5 01 11 01 00 00 11 00") << "control data not 0x00";
    QTest::newRow("load not BCD") << hex("AA F0 01 00 0A 00 00 0B 00") << "value not BCD";
    QTest::newRow("byte 6 not 0x00") << hex("AA F0 01 00 35 00 01 35 00") << "byte 6 not 0x00";
}

void TestBoardSim::rejectsMalformedBuffers()
{
    QFETCH(QByteArray, buffer);
    QFETCH(QString, reason);

    FrameParser parser;
    const auto events = parser.feed(bytesOf(buffer));
    QVERIFY(!events.empty());
    const auto* malformed = std::get_if<MalformedBuffer>(&events.front());
    QVERIFY(malformed);
    QCOMPARE(QString::fromLatin1(malformed->reason), reason);
    QCOMPARE(toByteArray(malformed->bytes), buffer);
    QCOMPARE(meaningsOfFrames(events), QStringList{});
    QCOMPARE(parser.malformedCount(), std::size_t(1));
}

void TestBoardSim::boardReactsToCommands_data()
{
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<uint>("goal");
    QTest::addColumn<uint>("actual");
    QTest::addColumn<uint>("increment");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("address");

    QTest::newRow("defaults") << QByteArray() << 0u << 0u << 1u << false << 1;
    QTest::newRow("load goal") << kGoal3500 << 3500u << 0u << 1u << false << 1;
    QTest::newRow("load goal 9932") << kGoal9932 << 9932u << 0u << 1u << false << 1;
    QTest::newRow("load actual") << kActual1000 << 0u << 1000u << 1u << false << 1;
    QTest::newRow("load increment") << kIncrement10 << 0u << 0u << 10u << false << 1;
    QTest::newRow("start") << kStart << 0u << 0u << 1u << true << 1;
    QTest::newRow("start, stop") << kStart + kStop << 0u << 0u << 1u << false << 1;
    QTest::newRow("clear zeroes actual only")
        << kGoal3500 + kActual1000 + kIncrement10 + kClear << 3500u << 0u << 10u << false << 1;
    QTest::newRow("other address ignored") << kGoal3500AtAddress2 << 0u << 0u << 1u << false << 1;
    QTest::newRow("set address, then load there")
        << kSetAddress85 + kGoal3500AtAddress85 << 3500u << 0u << 1u << false << 85;
    QTest::newRow("set address, old address ignored")
        << kSetAddress85 + kGoal3500 + kStart << 0u << 0u << 1u << false << 85;
}

void TestBoardSim::boardReactsToCommands()
{
    QFETCH(QByteArray, commands);
    QFETCH(uint, goal);
    QFETCH(uint, actual);
    QFETCH(uint, increment);
    QFETCH(bool, running);
    QFETCH(int, address);

    Board board(BoardConfig{});
    QVERIFY(drive(board, commands, kStartTime));
    QCOMPARE(board.counters().goal, goal);
    QCOMPARE(board.counters().actual, actual);
    QCOMPARE(board.counters().increment, increment);
    QCOMPARE(board.running(), running);
    QCOMPARE(board.address(), address);
}

void TestBoardSim::countsWhileRunning_data()
{
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<QList<TimedBuffer>>("timeline");
    QTest::addColumn<uint>("actual");
    QTest::addColumn<uint>("seconds");

    QTest::newRow("not started") << 1000 << QList<TimedBuffer>{{5s, kQuery1}} << 0u << 0u;
    QTest::newRow("one per second")
        << 1000 << QList<TimedBuffer>{{0s, kStart}, {2500ms, kQuery1}} << 2u << 2u;
    QTest::newRow("increment 10") << 1000
                                  << QList<TimedBuffer>{{0s, kIncrement10 + kStart}, {3s, kQuery1}}
                                  << 30u << 3u;
    QTest::newRow("quarter-second steps")
        << 250 << QList<TimedBuffer>{{0s, kStart}, {2600ms, kQuery1}} << 10u << 2u;
    QTest::newRow("stop freezes counting")
        << 1000 << QList<TimedBuffer>{{0s, kStart}, {1500ms, kStop}, {5s, kQuery1}} << 1u << 1u;
    QTest::newRow("stopped board keeps partial step")
        << 1000 << QList<TimedBuffer>{{0s, kStart}, {600ms, kStop}, {1s, kStart}, {1400ms, kQuery1}}
        << 1u << 1u;
    QTest::newRow("clear while running restarts the step")
        << 1000 << QList<TimedBuffer>{{0s, kStart}, {2500ms, kClear}, {4s, kQuery1}} << 1u << 1u;
    QTest::newRow("actual wraps at 1,000,000")
        << 1000 << QList<TimedBuffer>{{0s, kActual999995 + kIncrement10 + kStart}, {1s, kQuery1}}
        << 5u << 1u;
    QTest::newRow("seconds wrap at 10000")
        << 1000 << QList<TimedBuffer>{{0s, kStart}, {10001s, kQuery1}} << 10001u << 1u;
}

void TestBoardSim::countsWhileRunning()
{
    QFETCH(int, stepMs);
    QFETCH(QList<TimedBuffer>, timeline);
    QFETCH(uint, actual);
    QFETCH(uint, seconds);

    Board board(BoardConfig{.step = std::chrono::milliseconds(stepMs)});
    for (const TimedBuffer& event : timeline)
        QVERIFY(drive(board, event.bytes, kStartTime + event.at));
    QCOMPARE(board.counters().actual, actual);
    QCOMPARE(board.counters().seconds, seconds);
}

void TestBoardSim::answersQueries_data()
{
    QTest::addColumn<int>("boardAddress");
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<QByteArray>("replies");

    QTest::newRow("own address") << 1 << kQuery1 << kReplyAt1;
    QTest::newRow("other address") << 2 << kQuery1 << QByteArray();
    QTest::newRow("identity query at address 1") << 1 << kIdentityQuery << kReplyAt1;
    QTest::newRow("identity query at address 200") << 200 << kIdentityQuery << kReplyAt200;
    QTest::newRow("commands do not answer") << 1 << kStart + kGoal3500 + kClear << QByteArray();
    QTest::newRow("query at the new address") << 1 << kSetAddress85 + kQuery85 << kReplyAt85;
    QTest::newRow("query at the old address") << 1 << kSetAddress85 + kQuery1 << QByteArray();
    QTest::newRow("each query answered") << 1 << kQuery1 + kIdentityQuery << kReplyAt1 + kReplyAt1;
}

void TestBoardSim::answersQueries()
{
    QFETCH(int, boardAddress);
    QFETCH(QByteArray, commands);
    QFETCH(QByteArray, replies);

    Board board(BoardConfig{.address = static_cast<std::uint8_t>(boardAddress)});
    QCOMPARE(drive(board, commands, kStartTime), replies);
}

void TestBoardSim::buildsReply_data()
{
    QTest::addColumn<QByteArray>("characters");
    QTest::addColumn<uint>("goal");
    QTest::addColumn<uint>("actual");
    QTest::addColumn<uint>("seconds");
    QTest::addColumn<uint>("serial");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("golden") << QByteArray(8, ' ') << 2000u << 1000u << 50u << 123456u << 0x30 << 1
                            << hex("54 20 20 20 20 20 20 20 20 00 20 00 00 00 10 00 00 50 00 00 00 "
                                   "12 34 56 30 01 75");
    QTest::newRow("KX-LT characters, all digits used")
        << QByteArray("KX-LT   ") << 999999u << 123456u << 9999u << 1u << 0x12 << 255
        << hex("54 4B 58 2D 4C 54 20 20 20 99 99 99 00 12 34 56 99 99 00 00 00 00 00 01 12 FF 57");
}

void TestBoardSim::buildsReply()
{
    QFETCH(QByteArray, characters);
    QFETCH(uint, goal);
    QFETCH(uint, actual);
    QFETCH(uint, seconds);
    QFETCH(uint, serial);
    QFETCH(int, version);
    QFETCH(int, address);
    QFETCH(QByteArray, reply);

    ReplyContent content{.goal = goal,
                         .actual = actual,
                         .seconds = seconds,
                         .serial = serial,
                         .version = static_cast<std::uint8_t>(version),
                         .address = static_cast<std::uint8_t>(address)};
    std::copy_n(characters.constData(), content.characters.size(), content.characters.begin());
    QCOMPARE(toByteArray(buildReply(content)), reply);
}

void TestBoardSim::boardReportsItsStateInReply()
{
    Board board(BoardConfig{.characters = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}});
    QVERIFY(drive(board, kGoal2000 + kActual1000 + kIncrement0 + kStart, kStartTime));
    QCOMPARE(
        drive(board, kQuery1, kStartTime + 50s),
        hex("54 20 20 20 20 20 20 20 20 00 20 00 00 00 10 00 00 50 00 00 00 12 34 56 30 01 75"));
}

void TestBoardSim::injectsReplyFaults_data()
{
    QTest::addColumn<uint>("badCheckEvery");
    QTest::addColumn<uint>("garbageEvery");
    QTest::addColumn<QString>("pattern");

    QTest::newRow("none") << 0u << 0u << "......";
    QTest::newRow("every reply bad check") << 1u << 0u << "BBBBBB";
    QTest::newRow("every 2nd bad check") << 2u << 0u << ".B.B.B";
    QTest::newRow("every 3rd garbage") << 0u << 3u << "..G..G";
    QTest::newRow("both, garbage wins") << 2u << 3u << ".BGB.G";
}

void TestBoardSim::injectsReplyFaults()
{
    QFETCH(uint, badCheckEvery);
    QFETCH(uint, garbageEvery);
    QFETCH(QString, pattern);

    const Reply intact = buildReply({.serial = 123456, .version = 0x30, .address = 1});
    ReplyFaults faults(badCheckEvery, garbageEvery);
    QString seen;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const Reply sent = applyFault(intact, faults.next());
        const bool checkHolds = replyCheck(sent) == sent.back();
        if (sent == intact)
            seen += '.';
        else if (sent.front() != kKxltMarker)
            seen += 'G';
        else if (!checkHolds && std::equal(sent.begin(), sent.end() - 1, intact.begin()))
            seen += 'B';
        else
            seen += '?';
    }
    QCOMPARE(seen, pattern);
}

void TestBoardSim::answersOverPseudoTerminal_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("throughLink");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("defaults") << QStringList{} << false << kReplyAt1;
    QTest::newRow("address, serial and version")
        << QStringList{"--address", "7", "--serial", "654321", "--version", "4.2"} << false
        << hex("54 4B 58 2D 4C 54 20 20 20 00 00 00 00 00 00 00 00 00 00 00 00 65 43 21 42 07 10");
    QTest::newRow("chunked reply")
        << QStringList{"--chunk", "5", "--chunk-gap-ms", "5"} << false << kReplyAt1;
    QTest::newRow("through a symlink") << QStringList{} << true << kReplyAt1;
}

void TestBoardSim::answersOverPseudoTerminal()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, throughLink);
    QFETCH(QByteArray, reply);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString record = dir.filePath("received.bin");
    const QString link = dir.filePath("board");
    arguments << "--trace"
              << "--record" << record;
    if (throughLink)
        arguments << "--link" << link;

    QProcess board;
    board.start(BOARDSIM_PATH, arguments);
    auto stopBoard = qScopeGuard([&] {
        board.kill();
        board.waitForFinished();
    });
    const QDeadlineTimer deadline(3000);
    while (!board.canReadLine() && board.waitForReadyRead(deadline.remainingTime())) {
    }
    QVERIFY(board.canReadLine());
    const QString portPath = QString::fromLocal8Bit(board.readLine().trimmed());
    if (throughLink)
        QCOMPARE(QFileInfo(link).symLinkTarget(), portPath);

    const int port = openRawPort(throughLink ? link : portPath);
    QVERIFY(port >= 0);
    auto closePort = qScopeGuard([port] { ::close(port); });
    QCOMPARE(::write(port, kIdentityQuery.constData(), kIdentityQuery.size()),
             kIdentityQuery.size());
    QCOMPARE(readWithin(port, kReplySize, deadline), reply);

    // Read while the board still runs: trace readers sit on a pipe and need every line flushed.
    const QByteArray txLine = "tx " + reply.toHex(' ').toUpper() + "\n";
    QByteArray trace = board.readAllStandardOutput();
    while (!trace.contains(txLine) && board.waitForReadyRead(deadline.remainingTime()))
        trace += board.readAllStandardOutput();
    QVERIFY2(trace.contains("rx AA F9 63 9C 63 9C 00 AB 00  identity query\n" + txLine), trace);

    board.terminate();
    QVERIFY(board.waitForFinished(deadline.remainingTime()));
    QCOMPARE(board.exitStatus(), QProcess::NormalExit);
    QCOMPARE(board.exitCode(), 0);
    stopBoard.dismiss();

    QFile recorded(record);
    QVERIFY(recorded.open(QIODevice::ReadOnly));
    QCOMPARE(recorded.readAll(), kIdentityQuery);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestBoardSim::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("stdoutPart");
    QTest::addColumn<QByteArray>("stderrPart");

    QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("--hangup-after S")
                          << QByteArray();
    QTest::newRow("hangs up by itself")
        << QStringList{"--hangup-after", "0.1"} << 0 << QByteArray("/dev/") << QByteArray();
    QTest::newRow("unknown option")
        << QStringList{"--bogus"} << 2 << QByteArray() << QByteArray("unknown option '--bogus'");
    QTest::newRow("address out of range")
        << QStringList{"--address", "256"} << 2 << QByteArray() << QByteArray("--address");
    QTest::newRow("serial too long")
        << QStringList{"--serial", "1234567"} << 2 << QByteArray() << QByteArray("--serial");
    QTest::newRow("missing value") << QStringList{"--trace", "--step-ms"} << 2 << QByteArray()
                                   << QByteArray("--step-ms needs a value");
    QTest::newRow("version without dot")
        << QStringList{"--version", "30"} << 2 << QByteArray() << QByteArray("--version");
    QTest::newRow("zero step") << QStringList{"--step-ms", "0"} << 2 << QByteArray()
                               << QByteArray("--step-ms");
    QTest::newRow("zero hangup") << QStringList{"--hangup-after", "0"} << 2 << QByteArray()
                                 << QByteArray("--hangup-after");
    QTest::newRow("gap without chunk") << QStringList{"--chunk-gap-ms", "5"} << 2 << QByteArray()
                                       << QByteArray("--chunk-gap-ms needs --chunk");
}

void TestBoardSim::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, stdoutPart);
    QFETCH(QByteArray, stderrPart);

    QProcess board;
    board.start(BOARDSIM_PATH, arguments);
    QVERIFY(board.waitForFinished(3000));
    QCOMPARE(board.exitStatus(), QProcess::NormalExit);
    QCOMPARE(board.exitCode(), exitCode);
    const QByteArray output = board.readAllStandardOutput();
    const QByteArray errors = board.readAllStandardError();
    QVERIFY2(output.contains(stdoutPart), output);
    QVERIFY2(errors.contains(stderrPart), errors);
    if (exitCode == 2)
        QCOMPARE(errors.count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestBoardSim)
#include "tst_boardsim.moc"
