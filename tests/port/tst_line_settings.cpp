// The line settings text "baud,parity,data,stop", for instance "9600,N,8,1".
// Parity is one letter, either case; stop bits are 1, 1.5 or 2.

#include "port/line_settings.h"

#include <QByteArray>
#include <QString>
#include <QTest>

using namespace kxlt::port;

namespace {

QString parityName(Parity parity)
{
    switch (parity) {
    case Parity::None: return QStringLiteral("None");
    case Parity::Even: return QStringLiteral("Even");
    case Parity::Odd: return QStringLiteral("Odd");
    case Parity::Mark: return QStringLiteral("Mark");
    case Parity::Space: return QStringLiteral("Space");
    }
    return QStringLiteral("?");
}

QString stopBitsName(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::One: return QStringLiteral("1");
    case StopBits::OneAndHalf: return QStringLiteral("1.5");
    case StopBits::Two: return QStringLiteral("2");
    }
    return QStringLiteral("?");
}

// "9600 baud, None parity, 8 data bits, 1 stop bits"
QString described(const LineSettings& settings)
{
    return QStringLiteral("%1 baud, %2 parity, %3 data bits, %4 stop bits")
        .arg(settings.baudRate)
        .arg(parityName(settings.parity))
        .arg(settings.dataBits)
        .arg(stopBitsName(settings.stopBits));
}

} // namespace

class TestLineSettings : public QObject {
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
};

void TestLineSettings::accepted_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("settings");

    QTest::newRow("9600,N,8,1 is the board's usual line")
        << QByteArray("9600,N,8,1") << "9600 baud, None parity, 8 data bits, 1 stop bits";
    QTest::newRow("E means even parity, 2 means two stop bits")
        << QByteArray("19200,E,7,2") << "19200 baud, Even parity, 7 data bits, 2 stop bits";
    QTest::newRow("lower-case o means odd parity, 1.5 means one and a half stop bits")
        << QByteArray("4800,o,8,1.5") << "4800 baud, Odd parity, 8 data bits, 1.5 stop bits";
    QTest::newRow("lower-case n means no parity")
        << QByteArray("9600,n,8,1") << "9600 baud, None parity, 8 data bits, 1 stop bits";
    QTest::newRow("lower-case e means even parity")
        << QByteArray("9600,e,8,1") << "9600 baud, Even parity, 8 data bits, 1 stop bits";
    QTest::newRow("upper-case O means odd parity")
        << QByteArray("9600,O,8,1") << "9600 baud, Odd parity, 8 data bits, 1 stop bits";
}

void TestLineSettings::accepted()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, settings);

    const auto parsed = parseLineSettings(text.toStdString());
    QVERIFY2(parsed.ok(), parsed.ok() ? "" : parsed.reason().c_str());
    QCOMPARE(described(parsed.value()), settings);
}

void TestLineSettings::refused_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("empty text is refused") << QByteArray("");
    QTest::newRow("three fields are too few") << QByteArray("9600,N,8");
    QTest::newRow("X is no parity letter") << QByteArray("9600,X,8,1");
    QTest::newRow("nine data bits are refused") << QByteArray("9600,N,9,1");
    QTest::newRow("a baud rate must be a number") << QByteArray("abc,N,8,1");
    QTest::newRow("three stop bits are refused") << QByteArray("9600,N,8,3");
    QTest::newRow("a negative baud rate is refused") << QByteArray("-9600,N,8,1");
    QTest::newRow("five fields are too many") << QByteArray("9600,N,8,1,1");
}

void TestLineSettings::refused()
{
    QFETCH(QByteArray, text);

    const auto parsed = parseLineSettings(text.toStdString());
    QVERIFY2(!parsed.ok(),
             qPrintable(parsed.ok() ? QStringLiteral("read as ") + described(parsed.value())
                                    : QString()));
    QVERIFY(!parsed.reason().empty());
}

QTEST_APPLESS_MAIN(TestLineSettings)
#include "tst_line_settings.moc"
