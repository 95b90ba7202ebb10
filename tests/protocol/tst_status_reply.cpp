// What a board answers, and how its line is shown.
//
// A reply is 27 bytes, recognised by its first byte 0x54 alone:
//   0 54 | 1..8 characters | 9..11 goal BCD | 12 - | 13..15 actual BCD | 16..17 seconds BCD
//   18..20 - | 21..23 serial BCD | 24 version | 25 address | 26 XOR of bytes 0..25
//
// The reply used throughout, from address 1, goal 2000, actual 1000, 50 s, serial 123456,
// version 3.0, check 0x75:
//   54 20 20 20 20 20 20 20 20 00 20 00 00 00 10 00 00 50 00 00 00 12 34 56 30 01 75

#include "protocol/status_reply.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <cstdint>

using namespace kxlt::protocol;

namespace {

QByteArray bytes(const char* spacedHex) { return QByteArray::fromHex(QByteArray(spacedHex)); }

// Address 1, version 3.0.
const QByteArray kReply =
    bytes("54 20 20 20 20 20 20 20 20 00 20 00 00 00 10 00 00 50 00 00 00 12 34 56 30 01 75");
// The same board reporting version 1.2 (check 0x57).
const QByteArray kReplyVersion12 =
    bytes("54 20 20 20 20 20 20 20 20 00 20 00 00 00 10 00 00 50 00 00 00 12 34 56 12 01 57");

const QByteArray kZeroReply(qsizetype(kReplySize), '\0');

ReplyBytes toReply(const QByteArray& data)
{
    ReplyBytes reply{};
    for (qsizetype i = 0; i < data.size() && i < qsizetype(reply.size()); ++i)
        reply[std::size_t(i)] = std::uint8_t(data[i]);
    return reply;
}

QByteArray withByte(QByteArray data, qsizetype index, int value)
{
    data[index] = char(value);
    return data;
}

} // namespace

class TestStatusReply : public QObject {
    Q_OBJECT

private slots:
    void replyHexLine_data();
    void replyHexLine();
};

void TestStatusReply::replyHexLine_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("line");

    // 26 bytes | received check | computed check
    QTest::newRow("a good reply shows its 27 bytes and then the computed check")
        << kReply
        << QStringLiteral("5420202020202020200020000000100000500000001234563001"
                          "75"
                          "75");
    QTest::newRow("the version byte shows as its two digits")
        << kReplyVersion12
        << QStringLiteral("5420202020202020200020000000100000500000001234561201"
                          "57"
                          "57");
    QTest::newRow("a check byte of 00 that does not match shows Com Error")
        << withByte(kReply, 26, 0x00) << QStringLiteral("Com Error");
    QTest::newRow("a check byte one bit off shows Com Error")
        << withByte(kReply, 26, 0x74) << QStringLiteral("Com Error");
    QTest::newRow("a changed character byte no longer matches the check")
        << withByte(kReply, 1, 0x21) << QStringLiteral("Com Error");
    QTest::newRow("the all-zero reply has a matching zero check: 56 zeros")
        << kZeroReply << QString(56, QLatin1Char('0'));
}

void TestStatusReply::replyHexLine()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, line);

    QCOMPARE(QString::fromStdString(kxlt::protocol::replyHexLine(toReply(reply))), line);
}

QTEST_APPLESS_MAIN(TestStatusReply)
#include "tst_status_reply.moc"
