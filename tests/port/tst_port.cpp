// Which device each COM number opens.
#include "port/port_mapping.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

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

    void overriddenDeviceOpensUnderItsRealName_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::newRow("a link, relative to the working directory") << QByteArray("board");
        QTest::newRow("a link whose name is not UTF-8") << QByteArray("b\xff\xfe");
        QTest::newRow("a path through a linked directory") << QByteArray("devices/tty");
    }
    void overriddenDeviceOpensUnderItsRealName()
    {
        QFETCH(QByteArray, given);
        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath("tty")).open(QIODevice::WriteOnly));
        const QByteArray place = QFile::encodeName(dir.path()) + '/';
        QCOMPARE(::symlink("tty", (place + "board").constData()), 0);
        QCOMPARE(::symlink("tty", (place + "b\xff\xfe").constData()), 0);
        QCOMPARE(::symlink(".", (place + "devices").constData()), 0);

        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        qputenv("KXLT_COM2", given);
        const std::optional<QString> device = deviceForPort(2);
        qunsetenv("KXLT_COM2");
        QDir::setCurrent(before);
        QCOMPARE(device, QFileInfo(dir.filePath("tty")).canonicalFilePath());
    }
};

QTEST_GUILESS_MAIN(PortTest)
#include "tst_port.moc"
