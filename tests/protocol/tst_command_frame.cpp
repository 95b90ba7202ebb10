// The frames the tool sends to a board, byte for byte.
//
// Every command hands nine bytes to the port: the eight frame bytes and one trailing 0x00.
//
// Data layout (start, stop, clear, goal, actual, increment):
//   0 AA | 1 function | 2 address | 3..5 data | 6 00 | 7 check | (8 00)
//   check = XOR of bytes 2..6; a check of 0xAA would look like a start byte and goes out as 0xAB.
//
// Address-pair layout (information query F9, set address FB), A and its complement ~A:
//   F9: AA F9 A ~A A ~A 00 AB | (8 00)
//   FB: AA FB A A ~A ~A 00 AB | (8 00)

#include "protocol/command_frame.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

Q_DECLARE_METATYPE(kxlt::protocol::ControlCode)
Q_DECLARE_METATYPE(kxlt::protocol::FunctionCode)

using namespace kxlt::protocol;

namespace {

// "AA F5 01" -> bytes; blanks only make the table readable.
QByteArray bytes(const char* spacedHex) { return QByteArray::fromHex(QByteArray(spacedHex)); }

// The bytes as "AA F5 01 ..." so that a failing row shows the frame the way it reads here.
QString spaced(const QByteArray& data) { return QString::fromLatin1(data.toHex(' ').toUpper()); }

QByteArray toByteArray(const TransmitBuffer& buffer)
{
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), qsizetype(buffer.size()));
}

// The nine bytes the port receives for a frame: the frame and the trailing 0x00.
QString transmitted(const QByteArray& frame) { return spaced(frame + QByteArray(1, '\0')); }

} // namespace

class TestCommandFrame : public QObject {
    Q_OBJECT

private slots:
    void controlFrame_data();
    void controlFrame();
    void valueFrame_data();
    void valueFrame();
    void queryFrame_data();
    void queryFrame();
    void setAddressFrame_data();
    void setAddressFrame();
};

void TestCommandFrame::controlFrame_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<ControlCode>("code");
    QTest::addColumn<QByteArray>("frame");

    //                                                          AA fn ad d1 d2 d3 00 ck
    QTest::newRow("start at address 1")
        << 1 << ControlCode::Start << bytes("AA F5 01 11 00 00 00 10");
    QTest::newRow("stop at address 1")
        << 1 << ControlCode::Stop << bytes("AA F5 01 22 00 00 00 23");
    QTest::newRow("clear at address 1")
        << 1 << ControlCode::Clear << bytes("AA F5 01 33 00 00 00 32");
    QTest::newRow("start at address 99 goes out as 0x63")
        << 99 << ControlCode::Start << bytes("AA F5 63 11 00 00 00 72");
    QTest::newRow("start at address 10 goes out as 0x0A with check 0x1B")
        << 10 << ControlCode::Start << bytes("AA F5 0A 11 00 00 00 1B");
    QTest::newRow("stop at address 0")
        << 0 << ControlCode::Stop << bytes("AA F5 00 22 00 00 00 22");
}

void TestCommandFrame::controlFrame()
{
    QFETCH(int, address);
    QFETCH(ControlCode, code);
    QFETCH(QByteArray, frame);

    const TransmitBuffer buffer = kxlt::protocol::controlFrame(std::uint8_t(address), code);
    QCOMPARE(spaced(toByteArray(buffer)), transmitted(frame));
}

void TestCommandFrame::valueFrame_data()
{
    QTest::addColumn<FunctionCode>("function");
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("field"); // the three BCD data bytes, as typed digits pack them
    QTest::addColumn<QByteArray>("frame");

    //                                                                         AA fn ad d1 d2 d3 00
    //                                                                         ck
    QTest::newRow("goal 3500 at address 1")
        << FunctionCode::SetGoal << 1 << bytes("00 35 00") << bytes("AA F0 01 00 35 00 00 34");
    QTest::newRow("actual 2000 at address 1")
        << FunctionCode::SetActual << 1 << bytes("00 20 00") << bytes("AA F1 01 00 20 00 00 21");
    QTest::newRow("increment 10 at address 1")
        << FunctionCode::SetIncrement << 1 << bytes("00 00 10") << bytes("AA F2 01 00 00 10 00 11");
    QTest::newRow("increment 999 at address 1")
        << FunctionCode::SetIncrement << 1 << bytes("00 09 99") << bytes("AA F2 01 00 09 99 00 91");
    QTest::newRow("goal 9932 checks to 0xAA and is sent with check 0xAB")
        << FunctionCode::SetGoal << 1 << bytes("00 99 32") << bytes("AA F0 01 00 99 32 00 AB");
    QTest::newRow("actual 3299 checks to 0xAA and is sent with check 0xAB")
        << FunctionCode::SetActual << 1 << bytes("00 32 99") << bytes("AA F1 01 00 32 99 00 AB");
    QTest::newRow("goal at address 99 carries 0x63 in byte 2")
        << FunctionCode::SetGoal << 99 << bytes("00 35 00") << bytes("AA F0 63 00 35 00 00 56");
}

void TestCommandFrame::valueFrame()
{
    QFETCH(FunctionCode, function);
    QFETCH(int, address);
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, frame);

    QCOMPARE(field.size(), 3);
    const ValueField value{std::uint8_t(field[0]), std::uint8_t(field[1]), std::uint8_t(field[2])};
    const TransmitBuffer buffer =
        kxlt::protocol::valueFrame(function, std::uint8_t(address), value);
    QCOMPARE(spaced(toByteArray(buffer)), transmitted(frame));
}

void TestCommandFrame::queryFrame_data()
{
    QTest::addColumn<int>("pairValue");
    QTest::addColumn<QByteArray>("frame");

    //                                                   AA F9 A  ~A A  ~A ck AB
    QTest::newRow("information query always asks with the identity pair 0x63")
        << int(kIdentityPairValue) << bytes("AA F9 63 9C 63 9C 00 AB");
    QTest::newRow("query with pair 1") << 1 << bytes("AA F9 01 FE 01 FE 00 AB");
    QTest::newRow("query with pair 10") << 10 << bytes("AA F9 0A F5 0A F5 00 AB");
    QTest::newRow("query with pair 0 complements to 0xFF") << 0 << bytes("AA F9 00 FF 00 FF 00 AB");
}

void TestCommandFrame::queryFrame()
{
    QFETCH(int, pairValue);
    QFETCH(QByteArray, frame);

    const TransmitBuffer buffer = kxlt::protocol::queryFrame(std::uint8_t(pairValue));
    QCOMPARE(spaced(toByteArray(buffer)), transmitted(frame));
}

void TestCommandFrame::setAddressFrame_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("frame");

    //                                                   AA FB A  A  ~A ~A ck AB
    QTest::newRow("set address 1") << 1 << bytes("AA FB 01 01 FE FE 00 AB");
    QTest::newRow("set address 0") << 0 << bytes("AA FB 00 00 FF FF 00 AB");
    QTest::newRow("set address 85: complement bytes 0xAA go out unchanged")
        << 85 << bytes("AA FB 55 55 AA AA 00 AB");
    QTest::newRow("set address 99") << 99 << bytes("AA FB 63 63 9C 9C 00 AB");
}

void TestCommandFrame::setAddressFrame()
{
    QFETCH(int, address);
    QFETCH(QByteArray, frame);

    const TransmitBuffer buffer = kxlt::protocol::setAddressFrame(std::uint8_t(address));
    QCOMPARE(spaced(toByteArray(buffer)), transmitted(frame));
}

QTEST_APPLESS_MAIN(TestCommandFrame)
#include "tst_command_frame.moc"
