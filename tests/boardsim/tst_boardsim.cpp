#include "frame_decoder.h"
#include "frame_parser.h"
#include "line_pacer.h"
#include "noise_source.h"
#include "options.h"
#include "reply.h"
#include "shared_line.h"

#include <QtTest>

#include <algorithm>

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
const QByteArray kGoal9932 = hex("AA F0 01 00 99 32 00 AB 00");
const QByteArray kActual1000 = hex("AA F1 01 00 10 00 00 11 00");
const QByteArray kActual999995 = hex("AA F1 01 99 99 95 00 94 00");
const QByteArray kIncrement10 = hex("AA F2 01 00 00 10 00 11 00");
const QByteArray kSetAddress85 = hex("AA FB 55 55 AA AA 00 AB 00");
const QByteArray kQuery1 = hex("AA F9 01 FE 01 FE 00 AB 00");
const QByteArray kQuery85 = hex("AA F9 55 AA 55 AA 00 AB 00");
const QByteArray kIdentityQuery = hex("AA F9 63 9C 63 9C 00 AB 00");
const QByteArray kGoal3500At2 = hex("AA F0 02 00 35 00 00 37 00");
const QByteArray kQuery2 = hex("AA F9 02 FD 02 FD 00 AB 00");
const QByteArray kQuery7 = hex("AA F9 07 F8 07 F8 00 AB 00");

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

QString summary(const std::variant<Options, HelpRequested, UsageError>& parsed)
{
    if (const auto* error = std::get_if<UsageError>(&parsed))
        return "error: " + QString::fromStdString(error->message);
    const auto& options = std::get<Options>(parsed);
    QStringList addresses;
    for (const std::uint8_t address : options.addresses)
        addresses << QString::number(address);
    return QStringLiteral("addresses %1 baud %2 noise %3 seed %4")
        .arg(addresses.join(','))
        .arg(options.pacing.baud)
        .arg(options.noiseEvery.count())
        .arg(options.seed ? QString::number(*options.seed) : QStringLiteral("-"));
}

// At atUs after the start, pushes that many bytes, then writes what is due.
struct PacingStep {
    int atUs;
    int pushed;
    int sentSoFar;
};

} // namespace

Q_DECLARE_METATYPE(PacingStep)

// The simulated board's own logic: what it takes from the line, what it answers and when, and its
// options. The program around it (pseudo-terminal, faults, counting) is exercised by the
// end-to-end tests.
class TestBoardSim : public QObject {
    Q_OBJECT

private slots:
    void parsesFramesInAnySplit_data();
    void parsesFramesInAnySplit();
    void rejectsMalformedBuffers_data();
    void rejectsMalformedBuffers();
    void buildsReply_data();
    void buildsReply();
    void answersOnSharedLine_data();
    void answersOnSharedLine();
    void pacesBytes_data();
    void pacesBytes();
    void noiseRepeatsWithItsSeed();
    void parsesOptions_data();
    void parsesOptions();
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

void TestBoardSim::answersOnSharedLine_data()
{
    QTest::addColumn<QList<int>>("addresses");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<QByteArray>>("replies");

    QTest::newRow("goal for 2 reaches board 2 only, query for 7 answered by board 7 only")
        << QList<int>{1, 2, 7} << kGoal3500At2 + kQuery7 + kQuery2
        << QList<QByteArray>{hex("54 4B 58 2D 4C 54 20 20 20 00 00 00 00 00 00 00 00 00 00 00 00 "
                                 "12 34 56 30 07 15"),
                             hex("54 4B 58 2D 4C 54 20 20 20 00 35 00 00 00 00 00 00 00 00 00 00 "
                                 "12 34 56 30 02 25")};
    QTest::newRow("identity query to two boards: their replies ANDed")
        << QList<int>{1, 2} << kIdentityQuery
        << QList<QByteArray>{hex("54 4B 58 2D 4C 54 20 20 20 00 00 00 00 00 00 00 00 00 00 00 00 "
                                 "12 34 56 30 00 10")};
    QTest::newRow("set address moves every board")
        << QList<int>{1, 2} << kGoal3500At2 + kSetAddress85 + kQuery85
        << QList<QByteArray>{hex("54 4B 58 2D 4C 54 20 20 20 00 00 00 00 00 00 00 00 00 00 00 00 "
                                 "12 34 56 30 55 42")};
}

void TestBoardSim::answersOnSharedLine()
{
    QFETCH(QList<int>, addresses);
    QFETCH(QByteArray, stream);
    QFETCH(QList<QByteArray>, replies);

    const std::vector<std::uint8_t> boardAddresses(addresses.begin(), addresses.end());
    SharedLine line(BoardConfig{}, boardAddresses);
    FrameParser parser;
    QList<QByteArray> answered;
    for (const ParseEvent& event : parser.feed(bytesOf(stream)))
        if (const auto* frame = std::get_if<Frame>(&event))
            if (const auto answer = line.handle(*frame, Instant{}))
                answered << toByteArray(answer->reply);
    QCOMPARE(answered, replies);
}

void TestBoardSim::pacesBytes_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("chunk");
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<QList<PacingStep>>("steps");

    // At 9600 baud a byte takes 1041.67 us on the wire.
    QTest::newRow("unpaced: all at once") << 0 << 0 << 0 << QList<PacingStep>{{0, 27, 27}};
    QTest::newRow("9600 baud: each byte once its 10 bits have passed, a late write catches up")
        << 9600 << 0 << 0 << QList<PacingStep>{{0, 27, 0},     {1041, 0, 0},   {1042, 0, 1},
                                               {20000, 0, 19}, {28124, 0, 26}, {28125, 0, 27}};
    QTest::newRow("bytes pushed during a burst join it")
        << 9600 << 0 << 0
        << QList<PacingStep>{{0, 27, 0}, {10000, 27, 9}, {56249, 0, 53}, {56250, 0, 54}};
    QTest::newRow("a burst on an idle line starts when pushed")
        << 9600 << 0 << 0
        << QList<PacingStep>{{0, 1, 0}, {1042, 0, 1}, {50000, 1, 1}, {51041, 0, 1}, {51042, 0, 2}};
    QTest::newRow("pieces of 5 with 10 ms pauses")
        << 0 << 5 << 10
        << QList<PacingStep>{{0, 27, 5}, {9999, 0, 5}, {10000, 0, 10}, {50000, 0, 27}};
    QTest::newRow("pieces of 5 at 9600 baud")
        << 9600 << 5 << 10
        << QList<PacingStep>{{0, 27, 0}, {5209, 0, 5}, {16249, 0, 5}, {16250, 0, 6}};
    QTest::newRow("the pause after the last piece holds the next burst")
        << 0 << 5 << 10 << QList<PacingStep>{{0, 3, 3}, {5000, 3, 3}, {10000, 0, 6}};
}

void TestBoardSim::pacesBytes()
{
    QFETCH(int, baud);
    QFETCH(int, chunk);
    QFETCH(int, gapMs);
    QFETCH(QList<PacingStep>, steps);

    LinePacer pacer({.baud = static_cast<unsigned>(baud),
                     .chunkSize = static_cast<std::size_t>(chunk),
                     .chunkGap = std::chrono::milliseconds(gapMs)});
    std::size_t sent = 0;
    for (const PacingStep& step : steps) {
        const Instant at = Instant{} + std::chrono::microseconds(step.atUs);
        if (step.pushed > 0)
            pacer.push(static_cast<std::size_t>(step.pushed), at);
        const std::size_t due = pacer.dueCount(at);
        pacer.sent(due);
        sent += due;
        QCOMPARE(sent, std::size_t(step.sentSoFar));
    }
}

void TestBoardSim::noiseRepeatsWithItsSeed()
{
    constexpr int bursts = 200;
    NoiseSource noise(100ms, 42, Instant{});
    NoiseSource again(100ms, 42, Instant{});
    NoiseSource otherSeed(100ms, 43, Instant{});
    bool othersDiffer = false;
    int withMarker = 0;
    for (int i = 0; i < bursts; ++i) {
        const Instant at = noise.dueAt();
        QCOMPARE(again.dueAt(), at);
        const auto burst = noise.takeBurst(at);
        QCOMPARE(again.takeBurst(at), burst);
        QVERIFY(!burst.empty() && burst.size() <= 32);
        withMarker += std::ranges::count(burst, kKxltMarker) > 0 ? 1 : 0;
        othersDiffer = othersDiffer || otherSeed.takeBurst(at) != burst;
    }
    QVERIFY(othersDiffer);
    QVERIFY(withMarker > bursts / 4);
    const auto meanInterval = (noise.dueAt() - Instant{}) / bursts;
    QVERIFY(meanInterval > 50ms && meanInterval < 200ms);
}

void TestBoardSim::parsesOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("parsed");

    QTest::newRow("several boards")
        << QStringList{"--address", "1,2,7"} << "addresses 1,2,7 baud 0 noise 0 seed -";
    QTest::newRow("empty entry in an address list")
        << QStringList{"--address", "1,,7"} << "error: bad value '1,,7' for --address";
    QTest::newRow("address over 255 in a list")
        << QStringList{"--address", "7,256"} << "error: bad value '7,256' for --address";
    QTest::newRow("line speed") << QStringList{"--baud", "9600"}
                                << "addresses 1 baud 9600 noise 0 seed -";
    QTest::newRow("noise with a seed") << QStringList{"--noise-every", "500", "--seed", "42"}
                                       << "addresses 1 baud 0 noise 500 seed 42";
    QTest::newRow("seed without noise")
        << QStringList{"--seed", "42"} << "error: --seed needs --noise-every";
}

void TestBoardSim::parsesOptions()
{
    QFETCH(QStringList, args);
    QFETCH(QString, parsed);

    std::vector<QByteArray> storage;
    for (const QString& arg : args)
        storage.push_back(arg.toLocal8Bit());
    std::vector<const char*> argv;
    for (const QByteArray& arg : storage)
        argv.push_back(arg.constData());
    QCOMPARE(summary(parseOptions(argv)), parsed);
}

QTEST_GUILESS_MAIN(TestBoardSim)
#include "tst_boardsim.moc"
