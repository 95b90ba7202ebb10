// How the bytes on a line are cut into replies: bursts between quiet lines, chains of checked
// replies, trailers, echoes, noise and glitches.
#include "reply_bytes.h"

#include "protocol/reply_framer.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTest>

using namespace kxlt::protocol;

namespace {

// Steps of a script besides bytes.
const QByteArray kQuiet = "<quiet>";
const QByteArray kReset = "<reset>";

const QByteArray kA = replyBytes({.actual = 0x001000});
const QByteArray kB = replyBytes({.actual = 0x001010});
const QByteArray kC = replyBytes({.actual = 0x001020});
const QByteArray kDamaged = withBadCheck(kA);
// Noise as a board powering up sends it, with markers inside.
const QByteArray kJunk = QByteArray::fromHex("01 54 FF 00 54 54 9C 20");
// What an echoing adapter gives back of the query the tool sent.
const QByteArray kEcho = QByteArray::fromHex("AA F9 01 FE 01 FE 00 AB 00");

// Six bytes of noise beginning with the marker, made so that they and the first 21 bytes of
// the reply behind them pass the check.
QByteArray noisePassingWithHeadOf(const QByteArray& reply)
{
    QByteArray noise = QByteArray::fromHex("54 00 13 37 00 00");
    const QByteArray frame = noise + reply.left(21);
    char check = 0;
    for (int i = 0; i < 26; ++i)
        check = char(check ^ frame[i]);
    noise[5] = char(check ^ frame[26]);
    return noise;
}

using Script = QList<QByteArray>;

QString nameOf(const LineEvent& event)
{
    if (event.kind != LineEventKind::Reply)
        return event.kind == LineEventKind::Junk ? "junk" : "damaged";
    const QByteArray bytes(reinterpret_cast<const char*>(event.bytes.data()), 27);
    for (const auto& [name, reply] : {std::pair{"A", kA}, {"B", kB}, {"C", kC}})
        if (bytes == reply)
            return QString::fromLatin1(name);
    return QString::fromLatin1(bytes.toHex(' '));
}

// What the framer makes of a script: each quiet step as "|", then the events of every step.
QString transcript(ReplyFramer& framer, const Script& script)
{
    QStringList out;
    for (const QByteArray& step : script) {
        std::vector<LineEvent> events;
        if (step == kQuiet) {
            out << QStringLiteral("|");
            events = framer.lineQuiet();
        } else if (step == kReset) {
            framer.reset();
        } else {
            events = framer.receive({reinterpret_cast<const std::uint8_t*>(step.constData()),
                                     std::size_t(step.size())});
        }
        for (const LineEvent& event : events)
            out << nameOf(event);
    }
    return out.join(' ');
}

QByteArray randomBytes(int count)
{
    QByteArray bytes(count, '\0');
    std::uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = char(state >> 24);
    }
    return bytes;
}

Script byteByByte(const QByteArray& bytes)
{
    Script script;
    for (const char byte : bytes)
        script << QByteArray(1, byte);
    return script;
}

} // namespace

class TestReplyFramer : public QObject {
    Q_OBJECT

private slots:
    void framesReplies_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<QString>("events");

        // Every script starts on a line that has been quiet; "|" is the line going quiet again,
        // <reset> is what opening the port does.
        QTest::newRow("a reply whole") << Script{kA, kQuiet} << "| A";
        QTest::newRow("a reply in 27 pieces") << byteByByte(kA) + Script{kQuiet} << "| A";
        QTest::newRow("back-to-back replies, each confirmed by the next, then a burst of its own")
            << Script{kA + kB, kC, kQuiet, kA, kQuiet} << "A B | C | A";
        QTest::newRow("a flood of 70 replies in two reads, each more than a burst keeps undecided")
            << Script(2, kA.repeated(35)) + Script{kB, kC, kQuiet}
            << QString("A ").repeated(70) + "B | C";
        QTest::newRow("a flood in pieces of 10 bytes")
            << Script{(kA + kB + kC).left(10), (kA + kB + kC).mid(10, 50), (kA + kB + kC).mid(60),
                      kQuiet}
            << "A B | C";
        for (const char* trailer : {"00", "FF", "0D0A", "000D0A", "FF000D0A"})
            QTest::addRow("a reply with the trailer %s", trailer)
                << Script{kA + QByteArray::fromHex(trailer), kQuiet, kB, kQuiet} << "| A | B";
        QTest::newRow(
            "the longest trailer behind a reply of a burst that did not begin on a quiet line")
            << Script{kReset, kA + QByteArray::fromHex("FF000D0A"), kQuiet} << "| A";
        QTest::newRow("a trailer after every reply of a chain")
            << Script{kA + '\0' + kB + '\0' + kC + '\0', kQuiet} << "A B | C";
        for (int length = 1; length < 27; ++length)
            QTest::addRow("%d bytes of noise on an idle line change nothing", length)
                << Script{randomBytes(length), kQuiet} << "|";
        for (int length = 1; length < 27; ++length)
            QTest::addRow("a reply cut after %d bytes is a glitch", length)
                << Script{kA.left(length), kQuiet, kB, kQuiet} << "| | B";
        QTest::newRow("27 bytes that hold no reply, in each of two bursts")
            << Script{randomBytes(27), kQuiet, randomBytes(27), kQuiet} << "| junk | junk";
        QTest::newRow("100 bytes that hold no reply, a marker in their second byte, in pieces")
            << byteByByte(kJunk + randomBytes(92)) + Script{kQuiet} << "| junk";
        for (const int length : {1, 2, 8})
            QTest::addRow("%d bytes of noise right before a reply", length)
                << Script{kJunk.left(length) + kA, kQuiet} << "| A";
        QTest::newRow("noise that passes the check with the reply's head")
            << Script{noisePassingWithHeadOf(kA) + kA, kQuiet} << "| A";
        QTest::newRow("the query echoed before the reply") << Script{kEcho, kA, kQuiet} << "| A";
        QTest::newRow("the query echoed before three boards answer in turn")
            << Script{kEcho + kA + kB + kC, kQuiet} << "| A B C";
        QTest::newRow("junk between replies of a burst that began on a quiet line")
            << Script{kA + kJunk + kB + kC, kQuiet} << "| A B C";
        QTest::newRow("junk between replies of a burst that did not")
            << Script{kReset, kA + kJunk + kB + kC, kQuiet} << "| C";
        QTest::newRow("a damaged reply on a quiet line") << Script{kDamaged, kQuiet} << "| damaged";
        QTest::newRow("a damaged reply, then a good one") << Script{kDamaged + kA, kQuiet} << "| A";
        QTest::newRow("a good reply, then a damaged one")
            << Script{kA + kDamaged, kQuiet} << "| A damaged";
        QTest::newRow("a damaged reply behind a trailer")
            << Script{kA + QByteArray::fromHex("0D0A") + kDamaged, kQuiet} << "| A damaged";
        QTest::newRow("a chain stops at a damaged reply")
            << Script{kA + kB + kDamaged, kQuiet} << "A | B damaged";
        QTest::newRow("27 bytes of junk after a reply")
            << Script{kA + randomBytes(27), kQuiet} << "| A junk";

        // Opened in the middle of a reply: its tail from byte 5 joined to the next reply's first
        // five bytes passes the check, and so does every such frame of a flood. Only the reply
        // that ends the burst counts.
        QTest::newRow("the tail of a reply from byte 5, then replies")
            << Script{kReset, kA.mid(5), kB, kC, kQuiet, kA, kQuiet} << "| C | A";
        QTest::newRow("a reset forgets a part of a reply")
            << Script{kA.left(20), kReset, kA.mid(20), kQuiet} << "|";
        QTest::newRow("a line that never goes quiet, then a reply")
            << Script{randomBytes(10000), randomBytes(10000), kA, kQuiet} << "junk | A";
    }
    void framesReplies()
    {
        QFETCH(Script, script);
        QFETCH(QString, events);

        ReplyFramer framer;
        framer.lineQuiet();
        QCOMPARE(transcript(framer, script), events);
    }
};

QTEST_APPLESS_MAIN(TestReplyFramer)
#include "tst_reply_framer.moc"
