// Which device each COM number opens, and the line settings text.
#include "port/line_settings.h"
#include "port/port_mapping.h"

#include <QStringList>
#include <QTest>

using namespace kxlt::port;

class PortTest : public QObject {
    Q_OBJECT

private slots:
    void adaptersComeFirstInNaturalOrder_data()
    {
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QStringList>("ordered");
        QTest::newRow("adapters, then the others, numbers as numbers")
            << QStringList{"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0",
                           "/dev/ttyUSB2"}
            << QStringList{"/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyS0",
                           "/dev/ttyS1"};
        QTest::newRow("a lone USB adapter is COM1") << QStringList{"/dev/ttyS0", "/dev/ttyUSB0"}
                                                    << QStringList{"/dev/ttyUSB0", "/dev/ttyS0"};
    }
    void adaptersComeFirstInNaturalOrder()
    {
        QFETCH(QStringList, devices);
        QFETCH(QStringList, ordered);
        std::vector<std::string> names;
        for (const QString& device : devices)
            names.push_back(device.toStdString());
        QStringList result;
        for (const std::string& name : inComOrder(names))
            result << QString::fromStdString(name);
        QCOMPARE(result, ordered);
    }

    void lineSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        QTest::newRow("9600,N,8,1")
            << "9600,N,8,1" << true << 9600 << int(Parity::None) << 8 << int(StopBits::One);
        QTest::newRow("lower-case parity, 1.5 stop bits")
            << "4800,e,7,1.5" << true << 4800 << int(Parity::Even) << 7
            << int(StopBits::OneAndHalf);
        for (const char* refused : {"", "9600,N,8", "9600,X,8,1", "9600,N,9,1", "abc,N,8,1",
                                    "9600,N,8,3", "9600,N,8,1,1"})
            QTest::newRow(refused) << refused << false << 0 << 0 << 0 << 0;
    }
    void lineSettings()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        const auto parsed = parseLineSettings(text.toStdString());
        QCOMPARE(parsed.ok(), accepted);
        if (!accepted) {
            QVERIFY(!parsed.reason().empty());
            return;
        }
        QFETCH(int, baud);
        QFETCH(int, parity);
        QFETCH(int, dataBits);
        QFETCH(int, stopBits);
        QCOMPARE(*parsed, (LineSettings{baud, Parity(parity), dataBits, StopBits(stopBits)}));
    }
};

QTEST_APPLESS_MAIN(PortTest)
#include "tst_port.moc"
