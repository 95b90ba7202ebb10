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

#include "snapshot.h"

#include "protocol/board_address.h"
#include "protocol/command_frame.h"
#include "protocol/value_field.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <span>
#include <utility>

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

// What a box makes of its text, after the text: the address in decimal, the value's three data
// bytes, or the refusal the operator reads.
template <typename T> QString shown(const char* text, const Parsed<T>& parsed, auto show)
{
    return text + QStringLiteral(": ") +
           (parsed ? show(*parsed) : QStringLiteral("refused: ") + parsed.reason().c_str()) + '\n';
}

} // namespace

class TestCommandFrame : public QObject {
    Q_OBJECT

private slots:
    // The frames, and what the boxes make of the operator's text, as approved in
    // tests/snapshots/command-frames.txt.
    void framesAsApproved()
    {
        const std::pair<const char*, TransmitBuffer> frames[] = {
            {"start at address 1", controlFrame(1, Start)},
            {"stop at address 1", controlFrame(1, Stop)},
            {"clear at address 1", controlFrame(1, Clear)},
            {"goal 3500", valueFrame(SetGoal, 1, {0x00, 0x35, 0x00})},
            {"actual 2000", valueFrame(SetActual, 1, {0, 0x20, 0})},
            {"increment 10", valueFrame(SetIncrement, 1, {0, 0, 0x10})},
            {"goal 9932 checks to 0xAA and is sent with check 0xAB",
             valueFrame(SetGoal, 1, {0x00, 0x99, 0x32})},
            {"information query asks with the identity pair 0x63", queryFrame(kIdentityPairValue)},
            {"query at address 0", queryFrame(0)},
            {"set address 1", setAddressFrame(1)},
            {"set address 85: complement bytes 0xAA go out unchanged", setAddressFrame(85)},
        };
        QString told;
        for (const auto& [name, frame] : frames)
            told += name + QStringLiteral(": ") + spaced(frame) + '\n';
        // Ten in decimal, not 0x10; blanks around the digits; a number that must not wrap around.
        for (const char* text :
             {"01", "10", " 42\t", "255", "0", "", " \t", "0x10", "1 2", "256", "4294967297"})
            told += shown(text, parseBoardAddress(text), [](auto a) { return QString::number(a); });
        // One leading zero nibble; a blank, allowed in the address box.
        for (const char* text : {"3500", "12349", "abcdef", "1A0F", "0", "", " 12", "1234567"})
            told += shown(text, encodeValueField(text), [](const auto& f) { return spaced(f); });
        compareWithSnapshot(QStringLiteral("command-frames.txt"), told);
    }
};

QTEST_APPLESS_MAIN(TestCommandFrame)
#include "tst_command_frame.moc"
