// What the operator types and the frames the tool sends to a board, byte for byte.
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
//
// Address box: a whole decimal number 0..255, blanks (space or tab) around the digits allowed.
// Value box: up to six hexadecimal digits, right-aligned in six nibble positions and packed two
// to a byte, most significant byte first: "3500" -> 00 35 00. Nothing but digits, no blanks.

#include "protocol/board_address.h"
#include "protocol/command_frame.h"
#include "protocol/value_field.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <span>
#include <tuple>

using namespace kxlt::protocol;
using enum kxlt::protocol::ControlCode;
using enum kxlt::protocol::FunctionCode;

namespace {

// "AA F5 01 ..." so that a failing row shows the bytes the way they read here.
QString spaced(std::span<const std::uint8_t> bytes)
{
    return QString::fromLatin1(
        QByteArrayView(bytes.data(), qsizetype(bytes.size())).toByteArray().toHex(' ').toUpper());
}

// What the operator reads when a box refuses its text.
const QString kNoAddress =
    QStringLiteral("refused: Type the board address: a whole number from 0 to 255.");
const QString kNotDecimal =
    QStringLiteral("refused: The address takes decimal digits only: a whole number from 0 to 255.");
const QString kAddressRange =
    QStringLiteral("refused: The address must be a whole number from 0 to 255.");
const QString kNoValue = QStringLiteral("refused: Type a value of 1 to 6 digits.");
const QString kNotHex =
    QStringLiteral("refused: A value takes the digits 0-9 (or A-F), no blanks or signs.");
const QString kTooLong = QStringLiteral("refused: A value has at most 6 digits.");

// What a box makes of its text, after the text: the address in decimal, the value's three data
// bytes, or the refusal the operator reads.
template <typename T> QString shown(const char* text, const Parsed<T>& parsed, auto show)
{
    return text + QStringLiteral(": ") +
           (parsed ? show(*parsed) : QStringLiteral("refused: ") + parsed.reason().c_str());
}

} // namespace

class TestCommandFrame : public QObject {
    Q_OBJECT

private slots:
    void frameBytes()
    {
        const std::tuple<const char*, TransmitBuffer, const char*> frames[] = {
            {"start at address 1", controlFrame(1, Start), "AA F5 01 11 00 00 00 10"},
            {"stop at address 1", controlFrame(1, Stop), "AA F5 01 22 00 00 00 23"},
            {"clear at address 1", controlFrame(1, Clear), "AA F5 01 33 00 00 00 32"},
            {"goal 3500", valueFrame(SetGoal, 1, {0x00, 0x35, 0x00}), "AA F0 01 00 35 00 00 34"},
            {"actual 2000", valueFrame(SetActual, 1, {0, 0x20, 0}), "AA F1 01 00 20 00 00 21"},
            {"increment 10", valueFrame(SetIncrement, 1, {0, 0, 0x10}), "AA F2 01 00 00 10 00 11"},
            {"goal 9932 checks to 0xAA and is sent with check 0xAB",
             valueFrame(SetGoal, 1, {0x00, 0x99, 0x32}), "AA F0 01 00 99 32 00 AB"},
            {"information query asks with the identity pair 0x63", queryFrame(kIdentityPairValue),
             "AA F9 63 9C 63 9C 00 AB"},
            {"query at address 0", queryFrame(0), "AA F9 00 FF 00 FF 00 AB"},
            {"set address 1", setAddressFrame(1), "AA FB 01 01 FE FE 00 AB"},
            {"set address 85: complement bytes 0xAA go out unchanged", setAddressFrame(85),
             "AA FB 55 55 AA AA 00 AB"},
        };
        for (const auto& [name, frame, bytes] : frames)
            QCOMPARE(name + QStringLiteral(": ") + spaced(frame),
                     name + QStringLiteral(": ") + bytes + QStringLiteral(" 00"));
    }

    void operatorInput()
    {
        const std::pair<const char*, QString> addresses[] = {
            {"01", "1"},
            {"10", "10"}, // decimal ten, not 0x10
            {" 42\t", "42"},
            {"255", "255"},
            {"0", "0"},
            {"", kNoAddress},
            {" \t", kNoAddress},
            {"0x10", kNotDecimal},
            {"1 2", kNotDecimal},
            {"256", kAddressRange},
            {"4294967297", kAddressRange}, // does not wrap around
        };
        for (const auto& [text, outcome] : addresses)
            QCOMPARE(
                shown(text, parseBoardAddress(text), [](auto a) { return QString::number(a); }),
                text + QStringLiteral(": ") + outcome);
        const std::pair<const char*, QString> values[] = {
            {"3500", "00 35 00"},   {"12349", "01 23 49"}, // one leading zero nibble
            {"abcdef", "AB CD EF"}, {"1A", "00 00 1A"},    {"0", "00 00 00"},
            {"", kNoValue},         {" 12", kNotHex}, // a blank, allowed in the address box
            {"1234567", kTooLong},
        };
        for (const auto& [text, outcome] : values)
            QCOMPARE(shown(text, encodeValueField(text), [](const auto& f) { return spaced(f); }),
                     text + QStringLiteral(": ") + outcome);
    }
};

QTEST_APPLESS_MAIN(TestCommandFrame)
#include "tst_command_frame.moc"
