// What a board answers, and how a read of the port is cut into answers.
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
#include <QByteArrayList>
#include <QString>
#include <QTest>

#include <cstdint>
#include <vector>

using namespace kxlt::protocol;

namespace {

QByteArray bytes(const char* spacedHex) { return QByteArray::fromHex(QByteArray(spacedHex)); }

// Address 1, version 3.0.
const QByteArray kReply =
    bytes("54 20 20 20 20 20 20 20 20 00 20 00 00 00 10 00 00 50 00 00 00 12 34 56 30 01 75");
// The same board reporting version 1.2 (check 0x57).
const QByteArray kReplyVersion12 =
    bytes("54 20 20 20 20 20 20 20 20 00 20 00 00 00 10 00 00 50 00 00 00 12 34 56 12 01 57");
// The same board answering from address 10 (check 0x7E).
const QByteArray kReplyAddress10 =
    bytes("54 20 20 20 20 20 20 20 20 00 20 00 00 00 10 00 00 50 00 00 00 12 34 56 30 0A 7E");

const QByteArray kZeroReply(qsizetype(kReplySize), '\0');

// 27 bytes that begin like a command frame, not like a reply.
const QByteArray kFrameLike =
    bytes("AA F5 01 11 00 00 00 10 00 54 20 20 20 20 20 20 20 20 00 20 00 00 00 10 00 00 50");

QString spaced(const QByteArray& data) { return QString::fromLatin1(data.toHex(' ').toUpper()); }

QByteArray toByteArray(const ReplyBytes& reply)
{
    return QByteArray(reinterpret_cast<const char*>(reply.data()), qsizetype(reply.size()));
}

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
    void readBlock_data();
    void readBlock();
    void replyHexLine_data();
    void replyHexLine();
};

void TestStatusReply::readBlock_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("recognised");
    QTest::addColumn<QByteArrayList>("replies");
    QTest::addColumn<int>("unfinished");

    QTest::newRow("one reply alone is recognised") << kReply << true << QByteArrayList{kReply} << 0;
    QTest::newRow("two replies back to back come out in arrival order")
        << kReply + kReplyVersion12 << true << QByteArrayList{kReply, kReplyVersion12} << 0;
    QTest::newRow("three replies back to back come out in arrival order")
        << kReply + kReplyAddress10 + kReplyVersion12 << true
        << QByteArrayList{kReply, kReplyAddress10, kReplyVersion12} << 0;
    QTest::newRow("the same reply twice gives two replies")
        << kReply + kReply << true << QByteArrayList{kReply, kReply} << 0;
    QTest::newRow("a reply's first 10 bytes after a reply are left unfinished")
        << kReply + kReply.left(10) << true << QByteArrayList{kReply} << 10;
    QTest::newRow("bytes that begin no reply are not unfinished")
        << kReply + kFrameLike.left(10) << true << QByteArrayList{kReply} << 0;
    QTest::newRow("27 bytes starting 0xAA after a reply end the replies")
        << kReply + kFrameLike << true << QByteArrayList{kReply} << 0;
    QTest::newRow("a reply is recognised by its first byte even with a wrong check")
        << withByte(kReply, 26, 0x00) << true << QByteArrayList{withByte(kReply, 26, 0x00)} << 0;
    QTest::newRow("a block starting 0xAA is not recognised and shows as all zeros")
        << kFrameLike << false << QByteArrayList{kZeroReply} << 0;
    QTest::newRow("an empty block is not recognised")
        << QByteArray() << false << QByteArrayList{kZeroReply} << 0;
    QTest::newRow("26 bytes starting 0x54 are not a reply")
        << kReply.left(26) << false << QByteArrayList{kZeroReply} << 0;
    QTest::newRow("a stray byte before a reply makes the block unrecognised")
        << QByteArray(1, '\0') + kReply << false << QByteArrayList{kZeroReply} << 0;
}

void TestStatusReply::readBlock()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, recognised);
    QFETCH(QByteArrayList, replies);
    QFETCH(int, unfinished);

    // Only the block's own bytes are readable, so a read past the end cannot go unnoticed
    // under a memory checker.
    const std::vector<std::uint8_t> data(block.begin(), block.end());
    const ReceivedBlock received = kxlt::protocol::readBlock(data);

    QCOMPARE(received.recognised, recognised);
    QStringList got;
    for (const ReplyBytes& reply : received.replies)
        got << spaced(toByteArray(reply));
    QStringList expected;
    for (const QByteArray& reply : replies)
        expected << spaced(reply);
    QCOMPARE(got, expected);
    QCOMPARE(received.unfinishedReplyBytes, std::size_t(unfinished));
}

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
