// How the bytes on a line are cut into replies: by the type marker, by complete replies, and by
// the line going quiet.
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
const QByteArray kDamaged = kA.left(26) + char(~kA[26]);
// Noise as a board powering up sends it, with markers inside.
const QByteArray kJunk = QByteArray::fromHex("01 54 FF 00 54 54 9C 20");

using Script = QList<QByteArray>;

QString nameOf(const LineEvent& event)
{
    if (event.kind == LineEventKind::Junk)
        return QStringLiteral("junk");
    if (event.kind == LineEventKind::DamagedReply)
        return QStringLiteral("damaged");
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

        // Every script starts on a line that has been quiet; <reset> is what opening the port does.
        QTest::newRow("a reply whole") << Script{kA} << "A";
        QTest::newRow("a reply in 27 pieces") << byteByByte(kA) << "A";
        QTest::newRow("two replies back to back") << Script{kA + kB} << "A B";
        for (int length = 1; length < 27; ++length)
            QTest::addRow("a reply cut after %d bytes, then a quiet line", length)
                << Script{kA.left(length), kQuiet, kB} << "| junk B";
        for (const int length : {1, 2, 8})
            QTest::addRow("%d bytes of junk before a reply", length)
                << Script{kJunk.left(length) + kA, kQuiet} << "junk | A";
        QTest::newRow("a stray byte after a reply")
            << Script{kA + '\0', kQuiet, kB} << "A junk | B";
        QTest::newRow("junk between back-to-back replies costs the reply it touches")
            << Script{kA + kJunk + kB + kC, kQuiet} << "A junk | C";
        QTest::newRow("a damaged reply on a quiet line")
            << Script{kDamaged, kQuiet, kA} << "damaged | A";

        // Opened in the middle of a reply: its tail from byte 5 joined to the next reply's first
        // five bytes passes the check. Nothing is shown until a quiet line restores the framing.
        QTest::newRow("the tail of a reply from byte 5, then replies")
            << Script{kReset, kA.mid(5), kB, kC, kQuiet, kA} << "junk | A";
        QTest::newRow("a reset forgets a part of a reply")
            << Script{kA.left(20), kReset, kA.mid(20), kQuiet} << "junk |";
    }
    void framesReplies()
    {
        QFETCH(Script, script);
        QFETCH(QString, events);

        // The trap the framing guards against is real: these bytes pass the check.
        ReplyBytes joined{};
        const QByteArray trap = kA.mid(5) + kB.left(5);
        std::copy(trap.begin(), trap.end(), joined.begin());
        QVERIFY(checkMatches(joined));

        ReplyFramer framer;
        framer.lineQuiet();
        QCOMPARE(transcript(framer, script), events);
    }
};

QTEST_APPLESS_MAIN(TestReplyFramer)
#include "tst_reply_framer.moc"
