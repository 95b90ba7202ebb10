// Which device each COM number opens.
//
// Serial devices are put in COM order: USB and ACM adapters first, then the others, each group
// in natural name order (ttyUSB2 before ttyUSB10). KXLT_COMn names the device COMn opens and
// overrides that order for that one port.

#include "port/port_mapping.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTest>

#include <string>
#include <vector>

using namespace kxlt::port;

namespace {

std::vector<std::string> toVector(const QStringList& list)
{
    std::vector<std::string> result;
    for (const QString& item : list)
        result.push_back(item.toStdString());
    return result;
}

QStringList toList(const std::vector<std::string>& vector)
{
    QStringList result;
    for (const std::string& item : vector)
        result << QString::fromStdString(item);
    return result;
}

// Clears KXLT_COM1..KXLT_COM5 for one test row and puts back what was there before, so that
// the environment the tests run in cannot leak into the rows.
class ClearedPortVariables {
public:
    ClearedPortVariables()
    {
        for (int port = 1; port <= kPortCount; ++port) {
            const QByteArray name = variableFor(port);
            saved_.push_back(
                {name, qEnvironmentVariableIsSet(name.constData()), qgetenv(name.constData())});
            qunsetenv(name.constData());
        }
    }
    ~ClearedPortVariables()
    {
        for (const Saved& saved : saved_) {
            if (saved.wasSet)
                qputenv(saved.name.constData(), saved.value);
            else
                qunsetenv(saved.name.constData());
        }
    }
    ClearedPortVariables(const ClearedPortVariables&) = delete;
    ClearedPortVariables& operator=(const ClearedPortVariables&) = delete;

    static QByteArray variableFor(int port) { return "KXLT_COM" + QByteArray::number(port); }

private:
    struct Saved {
        QByteArray name;
        bool wasSet;
        QByteArray value;
    };
    std::vector<Saved> saved_;
};

} // namespace

class TestPortOrder : public QObject {
    Q_OBJECT

private slots:
    void inComOrder_data();
    void inComOrder();
    void environmentOverride_data();
    void environmentOverride();
};

void TestPortOrder::inComOrder_data()
{
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QStringList>("ordered");

    QTest::newRow("adapters first in natural order, then the others in natural order")
        << QStringList{"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB2"}
        << QStringList{"/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyS1"};
    QTest::newRow("a lone built-in port stays")
        << QStringList{"/dev/ttyS0"} << QStringList{"/dev/ttyS0"};
    QTest::newRow("a lone USB adapter comes before the built-in ports")
        << QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"}
        << QStringList{"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1"};
    QTest::newRow("ttyS2 comes before ttyS10")
        << QStringList{"/dev/ttyS10", "/dev/ttyS2"} << QStringList{"/dev/ttyS2", "/dev/ttyS10"};
    QTest::newRow("no devices give no order") << QStringList{} << QStringList{};
}

void TestPortOrder::inComOrder()
{
    QFETCH(QStringList, devices);
    QFETCH(QStringList, ordered);

    QCOMPARE(toList(kxlt::port::inComOrder(toVector(devices))), ordered);
}

void TestPortOrder::environmentOverride_data()
{
    QTest::addColumn<int>("variablePort"); // n of the KXLT_COMn that is set
    QTest::addColumn<QByteArray>("device");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("overridden"); // whether `port` must open `device`

    QTest::newRow("KXLT_COM3 names the device COM3 opens")
        << 3 << QByteArray("/tmp/x") << 3 << true;
    QTest::newRow("KXLT_COM1 names the device COM1 opens")
        << 1 << QByteArray("/dev/pts/7") << 1 << true;
    QTest::newRow("KXLT_COM3 leaves COM2 as it was") << 3 << QByteArray("/tmp/x") << 2 << false;
    QTest::newRow("KXLT_COM3 leaves COM4 as it was") << 3 << QByteArray("/tmp/x") << 4 << false;
}

void TestPortOrder::environmentOverride()
{
    QFETCH(int, variablePort);
    QFETCH(QByteArray, device);
    QFETCH(int, port);
    QFETCH(bool, overridden);

    const ClearedPortVariables cleared;
    const QString before = deviceForPort(port);

    QVERIFY(qputenv(ClearedPortVariables::variableFor(variablePort).constData(), device));
    const QString after = deviceForPort(port);
    qunsetenv(ClearedPortVariables::variableFor(variablePort).constData());
    // The variable is read when the port opens, not remembered: once cleared, the port opens
    // what it opened before.
    QCOMPARE(deviceForPort(port), before);

    if (overridden)
        QCOMPARE(after, QString::fromLatin1(device));
    else
        QCOMPARE(after, before);
}

QTEST_APPLESS_MAIN(TestPortOrder)
#include "tst_port_order.moc"
