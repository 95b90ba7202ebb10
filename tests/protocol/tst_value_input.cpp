// What the operator types into the address box and the value boxes.
//
// Address: a whole decimal number 0..255, blanks (space or tab) around the digits allowed.
// Value: up to six hexadecimal digits, right-aligned in six nibble positions and packed two to a
// byte, most significant byte first: "3500" -> 00 35 00. Nothing but digits, no blanks.

#include "protocol/board_address.h"
#include "protocol/value_field.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <string>

using namespace kxlt::protocol;

namespace {

QString spaced(const ValueField& field)
{
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(field.data()), qsizetype(field.size()))
            .toHex(' ')
            .toUpper());
}

} // namespace

class TestValueInput : public QObject {
    Q_OBJECT

private slots:
    void boardAddress_data();
    void boardAddress();
    void refusedBoardAddress_data();
    void refusedBoardAddress();
    void valueField_data();
    void valueField();
    void refusedValueField_data();
    void refusedValueField();
};

void TestValueInput::boardAddress_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("address");

    QTest::newRow("address \"01\" with a leading zero is 1") << QByteArray("01") << 1;
    QTest::newRow("address \"10\" is decimal ten, not 0x10") << QByteArray("10") << 10;
    QTest::newRow("address \"99\" is 99") << QByteArray("99") << 99;
    QTest::newRow("address \"0\" is 0") << QByteArray("0") << 0;
    QTest::newRow("address \"00\" is 0") << QByteArray("00") << 0;
    QTest::newRow("a blank before the digits is allowed") << QByteArray(" 7") << 7;
    QTest::newRow("a blank after the digits is allowed") << QByteArray("7 ") << 7;
    QTest::newRow("tabs around the digits are allowed") << QByteArray("\t42\t") << 42;
    QTest::newRow("address \"255\" is the highest") << QByteArray("255") << 255;
    QTest::newRow("address \"007\" with two leading zeros is 7") << QByteArray("007") << 7;
}

void TestValueInput::boardAddress()
{
    QFETCH(QByteArray, text);
    QFETCH(int, address);

    const Parsed<std::uint8_t> parsed = parseBoardAddress(text.toStdString());
    QVERIFY2(parsed.ok(), parsed.ok() ? "" : parsed.reason().c_str());
    QCOMPARE(int(parsed.value()), address);
}

void TestValueInput::refusedBoardAddress_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("an empty address box is refused") << QByteArray("");
    QTest::newRow("a blank alone is refused") << QByteArray(" ");
    QTest::newRow("256 is above the highest address") << QByteArray("256");
    QTest::newRow("a minus sign is refused") << QByteArray("-1");
    QTest::newRow("a plus sign is refused") << QByteArray("+3");
    QTest::newRow("a decimal point is refused") << QByteArray("1.5");
    QTest::newRow("a letter before the digits is refused") << QByteArray("a1");
    QTest::newRow("a letter after the digits is refused") << QByteArray("1a");
    QTest::newRow("a blank between digits is refused") << QByteArray("1 2");
    QTest::newRow("hexadecimal notation is refused") << QByteArray("0x10");
    QTest::newRow("a leading zero does not bring 256 into range") << QByteArray("0256");
    QTest::newRow("a number far beyond 255 does not wrap around") << QByteArray("4294967297");
}

void TestValueInput::refusedBoardAddress()
{
    QFETCH(QByteArray, text);

    const Parsed<std::uint8_t> parsed = parseBoardAddress(text.toStdString());
    QVERIFY2(!parsed.ok(),
             qPrintable(QStringLiteral("read as %1").arg(parsed.ok() ? int(parsed.value()) : -1)));
    QVERIFY(!parsed.reason().empty());
}

void TestValueInput::valueField_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("field"); // data bytes 3..5 of the frame

    QTest::newRow("\"0\" fills the field with zeros")
        << QByteArray("0") << QStringLiteral("00 00 00");
    QTest::newRow("one digit goes to the last nibble")
        << QByteArray("5") << QStringLiteral("00 00 05");
    QTest::newRow("\"123\" is right-aligned") << QByteArray("123") << QStringLiteral("00 01 23");
    QTest::newRow("\"3500\" packs to 00 35 00") << QByteArray("3500") << QStringLiteral("00 35 00");
    QTest::newRow("five digits leave one leading zero nibble")
        << QByteArray("12345") << QStringLiteral("01 23 45");
    QTest::newRow("six digits fill every nibble")
        << QByteArray("123456") << QStringLiteral("12 34 56");
    QTest::newRow("upper-case hex digit A is taken as a nibble")
        << QByteArray("1A") << QStringLiteral("00 00 1A");
    QTest::newRow("lower-case hex digit a is taken as a nibble")
        << QByteArray("1a") << QStringLiteral("00 00 1A");
    QTest::newRow("\"999\" packs to 00 09 99") << QByteArray("999") << QStringLiteral("00 09 99");
    QTest::newRow("six hex letters fill every nibble")
        << QByteArray("abcdef") << QStringLiteral("AB CD EF");
    QTest::newRow("leading zeros keep their places")
        << QByteArray("000010") << QStringLiteral("00 00 10");
}

void TestValueInput::valueField()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, field);

    const Parsed<ValueField> parsed = encodeValueField(text.toStdString());
    QVERIFY2(parsed.ok(), parsed.ok() ? "" : parsed.reason().c_str());
    QCOMPARE(spaced(parsed.value()), field);
}

void TestValueInput::refusedValueField_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("an empty value box is refused") << QByteArray("");
    QTest::newRow("G is not a hex digit") << QByteArray("12G");
    QTest::newRow("a leading blank is refused") << QByteArray(" 12");
    QTest::newRow("a trailing blank is refused") << QByteArray("12 ");
    QTest::newRow("a minus sign is refused") << QByteArray("-1");
    QTest::newRow("a plus sign is refused") << QByteArray("+1");
    QTest::newRow("seven digits do not fit six positions") << QByteArray("1234567");
    QTest::newRow("a decimal point is refused") << QByteArray("1.5");
}

void TestValueInput::refusedValueField()
{
    QFETCH(QByteArray, text);

    const Parsed<ValueField> parsed = encodeValueField(text.toStdString());
    QVERIFY2(
        !parsed.ok(),
        qPrintable(
            QStringLiteral("packed as %1").arg(parsed.ok() ? spaced(parsed.value()) : QString())));
    QVERIFY(!parsed.reason().empty());
}

QTEST_APPLESS_MAIN(TestValueInput)
#include "tst_value_input.moc"
