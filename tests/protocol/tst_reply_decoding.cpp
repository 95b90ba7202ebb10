// What a board answers, and the line and sums the window shows for it.
//
// A reply is 27 bytes, recognised by its first byte 0x54 alone:
//   0 54 | 1..8 characters | 9..11 goal BCD | 12 - | 13..15 actual BCD | 16..17 seconds BCD
//   18..20 - | 21..23 serial BCD | 24 version | 25 address | 26 XOR of bytes 0..25
//
// Its line is the 27 bytes in hex followed by the computed check, or "Com Error" when the check
// byte does not match. Goal and actual are cut from the line as captions of six digits;
// difference = actual - goal, efficiency = actual * 100 / goal.

#include "protocol/reply_decoding.h"
#include "protocol/status_reply.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <algorithm>
#include <optional>
#include <string>

using namespace kxlt::protocol;

namespace {

// From address 1: goal 2000, actual 1000, 50 s, serial 123456, version 3.0, check 0x75.
const QByteArray kReply = QByteArray::fromHex(
    "54 20 20 20 20 20 20 20 20 00 20 00 00 00 10 00 00 50 00 00 00 12 34 56 30 01 75");

QString shown(const std::optional<std::string>& text)
{
    return text ? QString::fromStdString(*text) : QStringLiteral("(nothing)");
}

void sums(const char* name, const QString& actual, const QString& goal, const QString& difference,
          const QString& efficiency)
{
    QTest::newRow(name) << actual << goal << difference << efficiency;
}

} // namespace

class TestReplyDecoding : public QObject {
    Q_OBJECT

private slots:
    void replyHexLine_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("line");

        // 26 bytes | received check | computed check
        QTest::newRow("a good reply shows its 27 bytes and then the computed check")
            << kReply << "54202020202020202000200000001000005000000012345630017575";
        QTest::newRow("a check byte one bit off shows Com Error")
            << kReply.left(26) + '\x74' << "Com Error";
    }
    void replyHexLine()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, line);
        ReplyBytes bytes{};
        QCOMPARE(reply.size(), qsizetype(bytes.size()));
        std::copy(reply.begin(), reply.end(), bytes.begin());
        QCOMPARE(QString::fromStdString(kxlt::protocol::replyHexLine(bytes)), line);
    }

    void differenceAndEfficiency_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("goal");
        QTest::addColumn<QString>("difference");
        QTest::addColumn<QString>("efficiency");

        sums("behind the goal: a negative difference, whole numbers without a point", "001000",
             "002000", "-1000", "50");
        sums("a third shows 15 significant digits", "001000", "003000", "-2000",
             "33.3333333333333");
        sums("goal 0 gives a difference but no efficiency", "000500", "000000", "500", "(nothing)");
        sums("a hex letter in the actual caption gives neither", "00A000", "002000", "(nothing)",
             "(nothing)");
        sums("E in the goal caption is no exponent and gives neither", "001000", "00E000",
             "(nothing)", "(nothing)");
        sums("the empty captions after Com Error give neither", "", "", "(nothing)", "(nothing)");
    }
    void differenceAndEfficiency()
    {
        QFETCH(QString, actual);
        QFETCH(QString, goal);
        QFETCH(QString, difference);
        QFETCH(QString, efficiency);
        const std::string a = actual.toStdString();
        const std::string g = goal.toStdString();
        QCOMPARE(shown(differenceText(a, g)), difference);
        QCOMPARE(shown(efficiencyText(a, g)), efficiency);
    }
};

QTEST_APPLESS_MAIN(TestReplyDecoding)
#include "tst_reply_decoding.moc"
