// The figures the window shows for a reply line, and the sums made from them.
//
// A reply line is the reply's hex line plus CR LF. Figures are cut by character position,
// counted from 1: goal 19..24, actual 27..32, seconds 33..36, serial 43..48,
// version = character 49 "." character 50.

#include "protocol/reply_decoding.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <optional>
#include <string>

using namespace kxlt::protocol;

namespace {

// Address 1, goal 2000, actual 1000, 50 s, serial 123456, version 3.0.
const QByteArray kReplyLine = "5420202020202020200020000000100000500000001234563001"
                              "75"
                              "75"
                              "\r\n";
// The same board reporting version byte 0x12.
const QByteArray kReplyLineVersion12 = "5420202020202020200020000000100000500000001234561201"
                                       "57"
                                       "57"
                                       "\r\n";

QString shown(const std::optional<std::string>& text)
{
    return text ? QString::fromStdString(*text) : QStringLiteral("(nothing)");
}

} // namespace

class TestReplyDecoding : public QObject {
    Q_OBJECT

private slots:
    void captionNumber_data();
    void captionNumber();
    void differenceAndEfficiency_data();
    void differenceAndEfficiency();
};

void TestReplyDecoding::captionNumber_data()
{
    QTest::addColumn<QByteArray>("caption");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");

    QTest::newRow("\"002000\" is 2000, leading zeros allowed")
        << QByteArray("002000") << true << 2000.0;
    QTest::newRow("\"000000\" is 0") << QByteArray("000000") << true << 0.0;
    QTest::newRow("\"123456\" is 123456") << QByteArray("123456") << true << 123456.0;
    QTest::newRow("an empty caption is not a number") << QByteArray() << false << 0.0;
    QTest::newRow("hex letter A makes it no number") << QByteArray("000A00") << false << 0.0;
    QTest::newRow("hex letter D makes it no number") << QByteArray("00D000") << false << 0.0;
    QTest::newRow("E is not read as an exponent") << QByteArray("00E000") << false << 0.0;
    QTest::newRow("\"1e5\" is not read as an exponent") << QByteArray("1e5") << false << 0.0;
    QTest::newRow("a leading blank makes it no number") << QByteArray(" 12") << false << 0.0;
    QTest::newRow("a minus sign makes it no number") << QByteArray("-5") << false << 0.0;
}

void TestReplyDecoding::captionNumber()
{
    QFETCH(QByteArray, caption);
    QFETCH(bool, isNumber);
    QFETCH(double, value);

    const std::optional<double> number = kxlt::protocol::captionNumber(caption.toStdString());
    QCOMPARE(number.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*number, value);
}

void TestReplyDecoding::differenceAndEfficiency_data()
{
    QTest::addColumn<QByteArray>("actual");
    QTest::addColumn<QByteArray>("goal");
    QTest::addColumn<QString>("difference"); // actual - goal
    QTest::addColumn<QString>("efficiency"); // actual * 100 / goal

    QTest::newRow("behind the goal: negative difference, efficiency 50")
        << QByteArray("001000") << QByteArray("002000") << "-1000"
        << "50";
    QTest::newRow("ahead of the goal: positive difference without a sign, efficiency 150")
        << QByteArray("003000") << QByteArray("002000") << "1000"
        << "150";
    QTest::newRow("efficiency keeps its fraction: 61.7")
        << QByteArray("001234") << QByteArray("002000") << "-766"
        << "61.7";
    QTest::newRow("a third shows 15 significant digits")
        << QByteArray("001000") << QByteArray("003000") << "-2000"
        << "33.3333333333333";
    QTest::newRow("goal 0 gives a difference but no efficiency")
        << QByteArray("000500") << QByteArray("000000") << "500"
        << "(nothing)";
    QTest::newRow("nothing done against goal 0 gives difference 0 and no efficiency")
        << QByteArray("000000") << QByteArray("000000") << "0"
        << "(nothing)";
    QTest::newRow("a letter in the actual caption gives neither")
        << QByteArray("00A000") << QByteArray("002000") << "(nothing)"
        << "(nothing)";
    QTest::newRow("a letter in the goal caption gives neither")
        << QByteArray("001000") << QByteArray("00E000") << "(nothing)"
        << "(nothing)";
    QTest::newRow("empty captions after Com Error give neither")
        << QByteArray() << QByteArray() << "(nothing)"
        << "(nothing)";
}

void TestReplyDecoding::differenceAndEfficiency()
{
    QFETCH(QByteArray, actual);
    QFETCH(QByteArray, goal);
    QFETCH(QString, difference);
    QFETCH(QString, efficiency);

    const std::string a = actual.toStdString();
    const std::string g = goal.toStdString();
    QCOMPARE(shown(kxlt::protocol::differenceText(a, g)), difference);
    QCOMPARE(shown(kxlt::protocol::efficiencyText(a, g)), efficiency);
}

QTEST_APPLESS_MAIN(TestReplyDecoding)
#include "tst_reply_decoding.moc"
